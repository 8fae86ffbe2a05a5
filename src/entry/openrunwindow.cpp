#include "openrunwindow.h"

#include "reading.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quorvale {

namespace {

constexpr int IdRole = Qt::UserRole;
enum Column { Run, Part, Customer, Operation, Check, Inspector, Started, LastReading, Readings, State };

QString momentText(const Moment& moment)
{
    return QString::fromStdString(DateTimeText(moment));
}

} // namespace

OpenRunWindow::OpenRunWindow(const std::vector<RunSummary>& runs, QWidget* owner) : QWidget(owner, Qt::Dialog)
{
    setObjectName(QStringLiteral("OpenRunWindow"));
    setWindowTitle(QStringLiteral("Open Run"));
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);

    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("txtRunFilter"));
    m_filter->setPlaceholderText(QStringLiteral("Any text of the runs below"));
    auto* filterLabel = new QLabel(QStringLiteral("&Filter :"), this);
    filterLabel->setBuddy(m_filter);

    m_runs = new QTreeWidget(this);
    m_runs->setObjectName(QStringLiteral("lvRuns"));
    m_runs->setHeaderLabels({QStringLiteral("Run"), QStringLiteral("Part Number"), QStringLiteral("Customer"),
                             QStringLiteral("Operation"), QStringLiteral("Check"), QStringLiteral("Inspector"),
                             QStringLiteral("Started"), QStringLiteral("Last Reading"), QStringLiteral("Readings"),
                             QStringLiteral("State")});
    m_runs->setRootIsDecorated(false);
    m_runs->setUniformRowHeights(true);
    for (const RunSummary& run : runs) {
        auto* item = new QTreeWidgetItem(
            m_runs, {QString(), QString::fromStdString(run.partNumber), QString::fromStdString(run.customerName),
                     QString::fromStdString(run.operationNumber), QString::fromStdString(run.check),
                     QString::fromStdString(run.inspector), momentText(run.started),
                     run.lastReading ? momentText(*run.lastReading) : QString(), QString(),
                     run.finished ? QStringLiteral("finished") : QStringLiteral("open")});
        // Numbers, so that they sort as numbers.
        item->setData(Run, Qt::DisplayRole, QVariant::fromValue<qint64>(run.id));
        item->setData(Readings, Qt::DisplayRole, run.readings);
        item->setData(Run, IdRole, QVariant::fromValue<qint64>(run.id));
        for (const Column column : {Run, Readings})
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_runs->header()->resizeSections(QHeaderView::ResizeToContents);
    // The newest first, as listed, until a column's header is clicked.
    m_runs->header()->setSortIndicatorShown(true);
    m_runs->header()->setSortIndicator(-1, Qt::AscendingOrder);
    m_runs->setSortingEnabled(true);
    m_runs->setCurrentItem(m_runs->topLevelItem(0));

    auto* open = new QPushButton(QStringLiteral("&Open"), this);
    open->setObjectName(QStringLiteral("cmdOpenRun"));
    open->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancelOpenRun"));

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(open);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(m_runs);
    layout->addLayout(buttons);
    resize(900, 360);

    auto* closeOnEscape = new QAction(this);
    closeOnEscape->setShortcut(Qt::Key_Escape);
    addAction(closeOnEscape);
    connect(closeOnEscape, &QAction::triggered, this, &QWidget::close);

    m_filter->installEventFilter(this);
    connect(m_filter, &QLineEdit::textChanged, this, &OpenRunWindow::filter);
    connect(m_filter, &QLineEdit::returnPressed, this, &OpenRunWindow::openCurrent);
    connect(m_runs, &QTreeWidget::itemActivated, this, &OpenRunWindow::openCurrent);
    connect(open, &QPushButton::clicked, this, &OpenRunWindow::openCurrent);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    m_filter->setFocus();
}

bool OpenRunWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(m_runs, event);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void OpenRunWindow::filter(const QString& text)
{
    QTreeWidgetItem* first = nullptr;
    for (int row = 0; row < m_runs->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_runs->topLevelItem(row);
        bool shown = false;
        for (int column = 0; column < m_runs->columnCount() && !shown; ++column)
            shown = item->text(column).contains(text, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && !first)
            first = item;
    }
    if (!m_runs->currentItem() || m_runs->currentItem()->isHidden())
        m_runs->setCurrentItem(first);
}

void OpenRunWindow::openCurrent()
{
    const QTreeWidgetItem* item = m_runs->currentItem();
    if (!item || item->isHidden())
        return;
    const RunId id = item->data(Run, IdRole).toLongLong();
    close();
    emit runChosen(id);
}

} // namespace quorvale
