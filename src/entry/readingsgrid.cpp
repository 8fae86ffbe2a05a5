#include "readingsgrid.h"

#include "readingnews.h"
#include "twips.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QValidator>

#include <algorithm>

namespace quorvale {

namespace {

constexpr int TimeColumn = 0;
constexpr int ValueColumn = 1;
constexpr int LoggedAtRole = Qt::UserRole;       // a logged reading's Reading::loggedAt.at
constexpr int UtcOffsetRole = Qt::UserRole + 1;  // and its utcOffset
constexpr int SampleRole = Qt::UserRole + 2;     // set on the sample rows
constexpr int KeptNumberRole = Qt::UserRole + 3; // the number the run keeps a reading under
constexpr int ValueRole = Qt::UserRole + 4;      // a logged reading's Decimal

const QColor SampleGrey(128, 128, 128);
const QColor OutsideRed(255, 0, 0);

// When the reading in the time cell at index was logged.
Moment loggedAt(const QModelIndex& index)
{
    return {index.data(LoggedAtRole).toLongLong(), index.data(UtcOffsetRole).toInt()};
}

// Accepts a time or a reading as the inspector may type it; anything else stays open for correction
// rather than being refused key by key, so a gauge's input is never lost.
class CellValidator final : public QValidator {
public:
    CellValidator(int column, QObject* parent) : QValidator(parent), m_column(column) {}

    State validate(QString& input, int&) const override
    {
        const std::string text = input.toStdString();
        if (m_column == TimeColumn)
            return ParseClockTime(text) ? Acceptable : Intermediate;
        return ReadingValue(text) ? Acceptable : Intermediate;
    }

    QString refusal(const QString& input) const
    {
        if (m_column == TimeColumn)
            return QStringLiteral("Type the time as 13:20, 13:20:05 or 1:20 PM.");
        if (Decimal::parse(input.toStdString()))
            return QStringLiteral("The reading is too large: type a number between -1000000000 and 1000000000.");
        return QStringLiteral("Type the reading as a number, for example 0.02.");
    }

private:
    int m_column;
};

// Edits a cell in a line edit; a text that is no time or number keeps the editor open, and the
// grid shows why.
class CellDelegate final : public QStyledItemDelegate {
public:
    using Refuse = std::function<void(QLineEdit& editor, const QString& why)>;

    CellDelegate(QObject* parent, Refuse refuse) : QStyledItemDelegate(parent), m_refuse(std::move(refuse)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setValidator(new CellValidator(index.column(), editor));
        return editor;
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        const auto* box = static_cast<QLineEdit*>(editor);
        if (!box->hasAcceptableInput())
            return;
        const std::string typed = box->text().toStdString();
        if (index.column() == TimeColumn) {
            // The reading keeps its day; only its time of day changes.
            const Moment moment = AtSecondOfDay(loggedAt(index), *ParseClockTime(typed));
            model->setData(index, QString::fromStdString(TimeOfDayText(moment)));
            model->setData(index, QVariant::fromValue<qint64>(moment.at), LoggedAtRole);
        } else {
            const Decimal kept = *ReadingValue(typed);
            model->setData(index, QString::fromStdString(kept.text()));
            model->setData(index, QVariant::fromValue(kept), ValueRole);
        }
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        auto* box = qobject_cast<QLineEdit*>(object);
        if (box && event->type() == QEvent::KeyPress && !box->hasAcceptableInput()) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab || key == Qt::Key_Backtab) {
                m_refuse(*box, static_cast<const CellValidator*>(box->validator())->refusal(box->text()));
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    Refuse m_refuse;
};

// Shows a reading's time and value in a row and keeps when it was logged and its value.
void showReading(QTreeWidgetItem& item, const Reading& reading)
{
    item.setText(TimeColumn, QString::fromStdString(TimeOfDayText(reading.loggedAt)));
    item.setText(ValueColumn, QString::fromStdString(reading.value.text()));
    item.setData(ValueColumn, ValueRole, reading.value.empty() ? QVariant() : QVariant::fromValue(reading.value));
    item.setData(TimeColumn, LoggedAtRole, QVariant::fromValue<qint64>(reading.loggedAt.at));
    item.setData(TimeColumn, UtcOffsetRole, reading.loggedAt.utcOffset);
    item.setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable);
}

Decimal valueOf(const QTreeWidgetItem& item)
{
    return item.data(ValueColumn, ValueRole).value<Decimal>();
}

bool startsReading(const QKeyEvent& event)
{
    const QString text = event.text();
    return text.size() == 1 && QStringLiteral("0123456789+-.,").contains(text.front()) &&
           !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

ReadingsColumnWidths readingsColumnWidths(float gridWidthTwips, float twipsPerPixel)
{
    const float w = gridWidthTwips - 3 * twipsPerPixel;
    return {0.4f * w, 0.55f * w};
}

void setUpReadingsGrid(QTreeWidget& grid, float gridWidthTwips, float twipsPerPixel)
{
    const ReadingsColumnWidths widths = readingsColumnWidths(gridWidthTwips, twipsPerPixel);
    grid.setColumnCount(2);
    grid.setHeaderLabels({QStringLiteral("Date/Time"), QStringLiteral("Tolerance")});
    grid.header()->setStretchLastSection(false);
    grid.header()->setSectionsMovable(false);
    grid.setColumnWidth(TimeColumn, twipsToPixels(widths.dateTime, twipsPerPixel));
    grid.setColumnWidth(ValueColumn, twipsToPixels(widths.tolerance, twipsPerPixel));
    // A flat report: no tree decoration.
    grid.setRootIsDecorated(false);
    grid.setItemsExpandable(false);
    grid.setUniformRowHeights(true);
}

void fillReadingsGrid(QTreeWidget& grid)
{
    static const char* const Times[] = {"1:20 PM", "1:40 PM", "2:00 PM", "2:20 PM", "2:40 PM", "3:00 PM", "3:20 PM",
                                        "3:40 PM", "4:00 PM", "4:20 PM", "4:40 PM", "5:00 PM", "5:20 PM", "5:40 PM"};
    grid.clear();
    for (const char* time : Times) {
        auto* item = new QTreeWidgetItem(&grid, {QString::fromLatin1(time), QStringLiteral("0.02")});
        item->setData(TimeColumn, SampleRole, true);
        item->setForeground(TimeColumn, SampleGrey);
        item->setForeground(ValueColumn, SampleGrey);
    }
}

ReadingsGrid::ReadingsGrid(QWidget* parent) : QTreeWidget(parent), m_bell(&QApplication::beep)
{
    setItemDelegate(new CellDelegate(this, [this](QLineEdit& editor, const QString& why) { showHint(editor, why); }));
    // Not a tool tip: those vanish at the next key, the release of the Enter that was refused.
    m_hint = new QLabel(viewport());
    m_hint->setObjectName(QStringLiteral("lblReadingHint"));
    m_hint->setFrameShape(QFrame::Box);
    m_hint->setWordWrap(true);
    m_hint->setAutoFillBackground(true);
    m_hint->setForegroundRole(QPalette::ToolTipText);
    m_hint->setBackgroundRole(QPalette::ToolTipBase);
    m_hint->hide();
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblGridStatus"));
    m_status->setWordWrap(true);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_status->setMargin(2);
    m_status->setAutoFillBackground(true);
    m_status->setForegroundRole(QPalette::ToolTipText);
    m_status->setBackgroundRole(QPalette::ToolTipBase);
    m_status->setTextFormat(Qt::PlainText);
    m_status->hide();
    setEditTriggers(DoubleClicked | EditKeyPressed);
    setSelectionMode(ExtendedSelection);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    addMenuAction("actAddReading", QStringLiteral("Add Reading"), [](ReadingsGrid& grid) { grid.addReading(); });
    m_edit = addMenuAction("actEdit", QStringLiteral("Edit"), [](ReadingsGrid& grid) { grid.editCurrent(); });
    m_remove = addMenuAction("actRemoveReading", QStringLiteral("Remove Reading"),
                             [](ReadingsGrid& grid) { grid.removeSelected(); });
    m_restore = addMenuAction("actRestoreSamples", QStringLiteral("Restore Sample Readings"),
                              [](ReadingsGrid& grid) { grid.askToRestoreSamples(); });
    m_deviations = addMenuAction("actReadingsAreDeviations", QStringLiteral("Readings Are Deviations From Check"),
                                 [](ReadingsGrid& grid) { emit grid.readingsAreDeviationsChanged(); });
    m_deviations->setCheckable(true);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &ReadingsGrid::updateActions);
    connect(this, &QTreeWidget::currentItemChanged, this, &ReadingsGrid::updateActions);
    updateActions();
}

ReadingsGrid::~ReadingsGrid() = default;

QAction* ReadingsGrid::addMenuAction(const char* name, const QString& text, void (*run)(ReadingsGrid&))
{
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, [this, run] { run(*this); });
    addAction(action);
    return action;
}

void ReadingsGrid::updateActions()
{
    const bool logged = !showsSamples();
    m_edit->setEnabled(logged && currentItem());
    // Asked at every change of the selection: selectedItems() would walk a thousand rows each time.
    m_remove->setEnabled(logged && selectionModel()->hasSelection());
    m_restore->setEnabled(logged);
}

void ReadingsGrid::setLimits(std::optional<ToleranceLimits> limits, int decimals)
{
    m_limits = limits;
    m_limitDecimals = decimals;
    if (showsSamples())
        return;
    for (int i = 0; i < topLevelItemCount(); ++i)
        mark(*topLevelItem(i));
}

bool ReadingsGrid::isMarked(int row) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    return item && item->font(ValueColumn).bold();
}

void ReadingsGrid::mark(QTreeWidgetItem& item)
{
    const Decimal value = valueOf(item);
    const bool outside = m_limits && !value.empty() && m_limits->outside(value);
    // A row already marked right is left alone: each change is a signal to the view, and a run has
    // many thousands of rows.
    if (item.font(ValueColumn).bold() == outside)
        return;
    for (const int column : {TimeColumn, ValueColumn}) {
        QFont font = item.font(column);
        font.setBold(outside);
        item.setFont(column, font);
        item.setData(column, Qt::ForegroundRole, outside ? QVariant(QBrush(OutsideRed)) : QVariant());
    }
}

void ReadingsGrid::reportLogged(QTreeWidgetItem& item)
{
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(topLevelItemCount()));
    for (int i = 0; i < topLevelItemCount(); ++i)
        values.push_back(valueOf(*topLevelItem(i)).number());
    const Decimal logged = valueOf(item);
    const std::string news =
        LoggedReadingNews(values.size(), logged, m_limits, m_limitDecimals, RunSignals(values, Median(values)));
    showStatus(QString::fromStdString(news));
    if (m_limits && m_limits->outside(logged))
        m_bell();
}

bool ReadingsGrid::readingsAreDeviations() const
{
    return m_deviations->isChecked();
}

void ReadingsGrid::setReadingsAreDeviations(bool deviations)
{
    m_deviations->setChecked(deviations);
}

bool ReadingsGrid::showsSamples() const
{
    return topLevelItemCount() > 0 && topLevelItem(0)->data(TimeColumn, SampleRole).toBool();
}

std::vector<Reading> ReadingsGrid::readings() const
{
    std::vector<Reading> logged;
    if (showsSamples())
        return logged;
    logged.reserve(static_cast<std::size_t>(topLevelItemCount()));
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (topLevelItem(i) != m_pending)
            logged.push_back(readingAt(i));
    }
    return logged;
}

Reading ReadingsGrid::readingAt(int row) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    return {loggedAt(indexFromItem(item, TimeColumn)), valueOf(*item)};
}

int ReadingsGrid::keptNumber(int row) const
{
    return topLevelItem(row)->data(TimeColumn, KeptNumberRole).toInt();
}

void ReadingsGrid::setKeptNumber(int row, int number)
{
    topLevelItem(row)->setData(TimeColumn, KeptNumberRole, number);
}

void ReadingsGrid::markNotSaved(int row, bool notSaved)
{
    QTreeWidgetItem* item = topLevelItem(row);
    for (const int column : {TimeColumn, ValueColumn}) {
        QFont font = item->font(column);
        font.setItalic(notSaved);
        item->setFont(column, font);
        item->setToolTip(column, notSaved ? QStringLiteral("Not saved yet") : QString());
    }
}

void ReadingsGrid::setReadings(const std::vector<StoredReading>& readings)
{
    restoreSamples();
    if (readings.empty())
        return;
    clear();
    // Made apart and handed over at once: a run of many thousands opens without a layout per row.
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(readings.size()));
    for (const StoredReading& stored : readings) {
        auto* item = new QTreeWidgetItem;
        showReading(*item, stored.reading);
        item->setData(TimeColumn, KeptNumberRole, stored.number);
        mark(*item);
        items.append(item);
    }
    addTopLevelItems(items);
    updateActions();
}

void ReadingsGrid::addReading(const QString& typed)
{
    openReading(typed, m_clock());
}

void ReadingsGrid::openReading(const QString& typed, const QDateTime& now)
{
    if (m_pending)
        return;
    m_pending = new QTreeWidgetItem(this);
    showReading(*m_pending, {{now.toSecsSinceEpoch(), now.offsetFromUtc()}, {}});
    setCurrentItem(m_pending, ValueColumn);
    scrollToItem(m_pending);
    editItem(m_pending, ValueColumn);
    if (auto* editor = qobject_cast<QLineEdit*>(indexWidget(indexFromItem(m_pending, ValueColumn))))
        editor->setText(typed);
}

bool ReadingsGrid::finishEditing()
{
    auto* editor = qobject_cast<QLineEdit*>(indexWidget(currentIndex()));
    if (state() != EditingState || !editor)
        return true;
    if (!editor->hasAcceptableInput()) {
        showHint(*editor, static_cast<const CellValidator*>(editor->validator())->refusal(editor->text()));
        editor->setFocus();
        return false;
    }
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

bool ReadingsGrid::logAsTyped(const QString& value)
{
    if (m_waiting.size() == MaxWaiting)
        return false;
    m_waiting.push_back({value, m_clock()});
    logWaiting();
    return true;
}

void ReadingsGrid::logWaiting()
{
    // Logging one closes its editor, which comes back here: the loop below logs the rest in order.
    if (m_loggingWaiting)
        return;
    m_loggingWaiting = true;
    QPointer<QWidget> focus = QApplication::focusWidget();
    while (!m_waiting.empty() && state() != EditingState) {
        const Waiting next = std::move(m_waiting.front());
        m_waiting.pop_front();
        openReading(next.value, next.stamp);
        // Entered as Enter enters it.
        if (QWidget* editor = m_pending ? indexWidget(indexFromItem(m_pending, ValueColumn)) : nullptr) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
        }
    }
    if (focus && QApplication::focusWidget() != focus)
        focus->setFocus();
    m_loggingWaiting = false;
}

void ReadingsGrid::editCurrent()
{
    if (currentIndex().isValid())
        edit(currentIndex());
}

bool ReadingsGrid::confirmRemoval(int count) const
{
    const QString question =
        count == 1 ? QStringLiteral("Remove 1 reading?") : QStringLiteral("Remove %1 readings?").arg(count);
    return !m_confirm || m_confirm(question);
}

void ReadingsGrid::removeSelected()
{
    if (showsSamples())
        return;
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        if (itemFromIndex(index) != m_pending)
            rows.push_back(index.row());
    if (rows.empty() || (rows.size() > 1 && !confirmRemoval(int(rows.size()))))
        return;
    removeRows(std::move(rows));
}

void ReadingsGrid::removeRows(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    UndoStep step;
    QList<int> numbers;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        numbers.prepend(keptNumber(*row));
        step.removed.emplace(step.removed.begin(), *row, takeTopLevelItem(*row));
    }
    m_undo.push_back(std::move(step));
    // Removing the last reading brings the samples back; an undo still has the readings.
    if (topLevelItemCount() == 0)
        fillReadingsGrid(*this);
    updateActions();
    emit readingsRemoved(numbers);
}

void ReadingsGrid::askToRestoreSamples()
{
    const int logged = showsSamples() ? 0 : topLevelItemCount() - (m_pending ? 1 : 0);
    if (logged == 0 || !confirmRemoval(logged))
        return;
    std::vector<int> rows;
    for (int row = 0; row < topLevelItemCount(); ++row)
        if (topLevelItem(row) != m_pending)
            rows.push_back(row);
    removeRows(std::move(rows));
}

void ReadingsGrid::restoreSamples()
{
    m_pending = nullptr;
    m_undo.clear();
    showStatus({});
    fillReadingsGrid(*this);
    updateActions();
}

void ReadingsGrid::undo()
{
    if (m_pending || m_undo.empty())
        return;
    UndoStep step = std::move(m_undo.back());
    m_undo.pop_back();
    if (step.editedRow >= 0) {
        if (step.editedRow >= topLevelItemCount() || showsSamples())
            return;
        showReading(*topLevelItem(step.editedRow), step.before);
        mark(*topLevelItem(step.editedRow));
        emit readingEdited(step.editedRow);
        return;
    }
    while (showsSamples())
        delete takeTopLevelItem(0);
    QList<int> rows;
    for (auto& [row, item] : step.removed) {
        insertTopLevelItem(row, item.release());
        rows.append(row);
    }
    updateActions();
    emit readingsRestored(rows);
}

bool ReadingsGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (!QTreeWidget::edit(index, trigger, event))
        return false;
    if (itemFromIndex(index) != m_pending && !showsSamples()) {
        m_editedRow = index.row();
        m_beforeEdit = readingAt(index.row());
    }
    return true;
}

void ReadingsGrid::keyPressEvent(QKeyEvent* event)
{
    if (startsReading(*event))
        addReading(event->text());
    else if (event->matches(QKeySequence::Undo))
        undo();
    else if (event->key() == Qt::Key_Delete)
        removeSelected();
    else
        QTreeWidget::keyPressEvent(event);
}

void ReadingsGrid::showStatus(const QString& text)
{
    m_status->setText(text);
    m_status->setToolTip(text);
    m_status->setVisible(!text.isEmpty());
    updateGeometries();
}

QString ReadingsGrid::status() const
{
    return m_status->text();
}

void ReadingsGrid::updateGeometries()
{
    QTreeWidget::updateGeometries();
    // The status line takes the foot of the grid, at most three lines (the whole text is its tool tip),
    // so that it never covers the newest readings.
    const QRect inside = contentsRect();
    const int width = inside.width() - (verticalScrollBar()->isVisible() ? verticalScrollBar()->width() : 0);
    const int threeLines = 3 * m_status->fontMetrics().lineSpacing() + 2 * m_status->margin() + 2;
    const int wrapped = m_status->heightForWidth(width);
    const int height = m_status->text().isEmpty() ? 0 : wrapped > 0 ? std::min(wrapped, threeLines) : threeLines;
    QMargins margins = viewportMargins();
    if (margins.bottom() != height) {
        margins.setBottom(height);
        setViewportMargins(margins);
    }
    m_status->setGeometry(inside.left(), inside.bottom() + 1 - height, width, height);
}

void ReadingsGrid::showHint(QLineEdit& editor, const QString& why)
{
    // As wide as the grid, wrapped if need be, below the cell or above it on the last visible row.
    m_hint->setText(why);
    const int width = viewport()->width();
    m_hint->setFixedSize(width, m_hint->heightForWidth(width));
    int top = editor.geometry().bottom() + 1;
    if (top + m_hint->height() > viewport()->height())
        top = editor.geometry().top() - m_hint->height() - 1;
    m_hint->move(0, top);
    m_hint->show();
    m_hint->raise();
    connect(&editor, &QLineEdit::textEdited, m_hint, &QWidget::hide, Qt::UniqueConnection);
}

void ReadingsGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    m_hint->hide();
    QTreeWidgetItem* pending = std::exchange(m_pending, nullptr);
    // Values that waited for the editor are logged once it is closed, however it closes.
    const auto thenWaiting = qScopeGuard([this] { logWaiting(); });
    // A new reading is done once its editor closes: no hopping on to another cell.
    QTreeWidget::closeEditor(editor, pending ? QAbstractItemDelegate::NoHint : hint);
    if (!pending) {
        const int row = std::exchange(m_editedRow, -1);
        if (row >= 0)
            mark(*topLevelItem(row));
        if (row >= 0 && readingAt(row) != m_beforeEdit) {
            m_undo.push_back({{}, row, m_beforeEdit});
            emit readingEdited(row);
        }
        return;
    }
    if (pending->text(ValueColumn).isEmpty()) {
        // Abandoned, or left without a number.
        delete pending;
        updateActions();
        return;
    }
    // The first reading logged replaces the samples, which lie above it.
    while (showsSamples())
        delete takeTopLevelItem(0);
    setCurrentItem(pending, ValueColumn);
    scrollToItem(pending);
    updateActions();
    mark(*pending);
    reportLogged(*pending);
    emit readingLogged(indexOfTopLevelItem(pending));
}

} // namespace quorvale
