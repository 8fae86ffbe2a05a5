// The keys page: a text browser with the page and a Close button; Escape closes it as any dialog.
#include "keyspage.h"

#include "runcharticon.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace quorvale {

KeysPage::KeysPage(const QString& runsPlace, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("KeysPage"));
    setWindowTitle(QStringLiteral("Keys and Runs"));
    setWindowIcon(runChartIcon());
    setAttribute(Qt::WA_DeleteOnClose);

    auto* page = new QTextBrowser(this);
    page->setObjectName(QStringLiteral("txtKeysPage"));
    page->setHtml(text(runsPlace));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("&Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(page);
    layout->addWidget(buttons);
    resize(560, 600);
}

QString KeysPage::text(const QString& runsPlace)
{
    return QStringLiteral("<h3>Logging readings</h3>"
                          "<p>Type a reading into the grid: the first digit, sign or decimal mark starts a new row, "
                          "stamped with the date and time. <b>Enter</b> logs it and readies the next one. "
                          "<b>Escape</b> drops a reading not yet logged. A gauge logs its readings the same way.</p>"
                          "<table cellspacing=\"0\" cellpadding=\"3\">"
                          "<tr><td><b>F2</b>, double click</td><td>edits the selected reading's time or value</td></tr>"
                          "<tr><td><b>Delete</b></td><td>removes the selected readings (more than one is asked "
                          "first)</td></tr>"
                          "<tr><td><b>Ctrl+Z</b></td><td>undoes the last change: a reading logged, edited or removed, "
                          "the record changed, a new run started</td></tr>"
                          "<tr><td><b>Ctrl+Shift+Z</b>, <b>Ctrl+Y</b></td><td>redoes what was undone</td></tr>"
                          "<tr><td><b>Ctrl+N</b></td><td>New Run: the next run of this record, dated today</td></tr>"
                          "<tr><td><b>Ctrl+O</b></td><td>Open Run: the runs kept, to continue one or write it out "
                          "again</td></tr>"
                          "<tr><td><b>Ctrl+G</b></td><td>the Gauge dialog: the gauge's port and a test</td></tr>"
                          "<tr><td><b>F5</b></td><td>asks the gauge for a reading</td></tr>"
                          "<tr><td><b>F1</b></td><td>this page</td></tr>"
                          "</table>"
                          "<p>The right mouse button on the grid offers the same.</p>"
                          "<h3>The rows</h3>"
                          "<p><font color=\"#ff0000\"><b>Bold red</b></font>: the reading lies outside the limits; the "
                          "line under the grid says which limit it passes.<br>"
                          "<font color=\"#808080\">Grey</font>: the sample rows, which no output uses; the first "
                          "reading logged replaces them.</p>"
                          "<h3>Runs</h3>"
                          "<p>Every reading is kept the moment it is logged, with its record, so that nothing is lost. "
                          "<b>Finish</b> in the output window marks the run finished; until then the run comes back "
                          "when the program starts again. While the database does not take changes, they wait in "
                          "this station's outbox, and the line under the grid says how many and why.</p>"
                          "<p>The runs are kept in %1.</p>")
        .arg(runsPlace.toHtmlEscaped());
}

} // namespace quorvale
