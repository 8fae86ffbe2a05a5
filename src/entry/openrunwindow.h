// The runs kept, to open one: part number, customer, started, readings and state, the newest first,
// with a filter box over part and customer. It does not block: a chosen run is announced.
#pragma once

#include "runstore.h"

#include <QWidget>

#include <vector>

class QLineEdit;
class QTreeWidget;

namespace quorvale {

class OpenRunWindow final : public QWidget {
    Q_OBJECT

public:
    OpenRunWindow(const std::vector<RunSummary>& runs, QWidget* owner);

signals:
    void runChosen(quorvale::RunId id);

protected:
    // The arrow keys in the filter box move through the list, so the keyboard never leaves the box.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void filter(const QString& text);
    void openCurrent();

    QLineEdit* m_filter = nullptr;
    QTreeWidget* m_runs = nullptr;
};

} // namespace quorvale
