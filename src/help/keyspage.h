// "Keys and Runs": a short page on logging readings, the keys of the entry window, what the rows'
// marks mean and where the runs are kept. Shown beside the entry window, which stays usable.
#pragma once

#include <QDialog>

namespace quorvale {

class KeysPage final : public QDialog {
    Q_OBJECT

public:
    // runsPlace names where the runs are kept (a file's path, or a server without its password).
    // The page deletes itself when it closes.
    explicit KeysPage(const QString& runsPlace, QWidget* parent = nullptr);

    // The page's text as HTML, with runsPlace escaped.
    static QString text(const QString& runsPlace);
};

} // namespace quorvale
