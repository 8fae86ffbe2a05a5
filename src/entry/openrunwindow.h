// The runs kept, to open one: run id, part number, customer, operation, check, inspector, started,
// last reading, readings and state, the newest first and sortable by each, with a filter box over
// all their texts. Escape closes it. It does not block: a chosen run is announced.
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
