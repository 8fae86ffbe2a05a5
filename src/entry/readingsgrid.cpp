#include "readingsgrid.h"

#include "newrun.h"
#include "runline.h"
#include "runmodel.h"
#include "twips.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QUndoStack>
#include <QValidator>

#include <algorithm>

namespace quorvale {

namespace {

constexpr int TimeColumn = RunModel::TimeColumn;
constexpr int ValueColumn = RunModel::ValueColumn;

const QColor SampleGrey(128, 128, 128);

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
        // The run takes the text as a command; a new reading's row keeps it until Enter logs it.
        const auto* box = static_cast<QLineEdit*>(editor);
        if (box->hasAcceptableInput())
            model->setData(index, box->text());
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

bool startsReading(const QKeyEvent& event)
{
    const QString text = event.text();
    return text.size() == 1 && QStringLiteral("0123456789+-.,").contains(text.front()) &&
           !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

QStandardItem* greyItem(const QString& text)
{
    auto* item = new QStandardItem(text);
    item->setForeground(SampleGrey);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

ReadingsColumnWidths readingsColumnWidths(float gridWidthTwips, float twipsPerPixel)
{
    const float w = gridWidthTwips - 3 * twipsPerPixel;
    return {0.4f * w, 0.55f * w};
}

void setUpReadingsGrid(QTableView& grid, float gridWidthTwips, float twipsPerPixel)
{
    const ReadingsColumnWidths widths = readingsColumnWidths(gridWidthTwips, twipsPerPixel);
    QHeaderView& columns = *grid.horizontalHeader();
    columns.setStretchLastSection(false);
    columns.setSectionsMovable(false);
    columns.setHighlightSections(false);
    columns.setSectionsClickable(false); // a report: its captions neither select nor sort
    columns.setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid.setColumnWidth(TimeColumn, twipsToPixels(widths.dateTime, twipsPerPixel));
    grid.setColumnWidth(ValueColumn, twipsToPixels(widths.tolerance, twipsPerPixel));
}

void fillSampleRows(QStandardItemModel& samples)
{
    static const char* const Times[] = {"1:20 PM", "1:40 PM", "2:00 PM", "2:20 PM", "2:40 PM", "3:00 PM", "3:20 PM",
                                        "3:40 PM", "4:00 PM", "4:20 PM", "4:40 PM", "5:00 PM", "5:20 PM", "5:40 PM"};
    samples.setRowCount(0);
    samples.setColumnCount(2);
    for (const char* time : Times)
        samples.appendRow({greyItem(QString::fromLatin1(time)), greyItem(QStringLiteral("0.02"))});
}

ReadingsGrid::ReadingsGrid(RunModel& run, QWidget* parent) : QTableView(parent), m_run(run), m_bell(&QApplication::beep)
{
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
    // The model comes after the status line: the table lays itself out, status line included, as it is set.
    m_pendingRow.setColumnCount(2);
    m_rows.addSourceModel(&m_run);
    m_rows.addSourceModel(&m_samples);
    m_rows.addSourceModel(&m_pendingRow);
    setModel(&m_rows);
    setItemDelegate(new CellDelegate(this, [this](QLineEdit& editor, const QString& why) { showHint(editor, why); }));
    setEditTriggers(DoubleClicked | EditKeyPressed);
    setSelectionMode(ExtendedSelection);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    addMenuAction("actAddReading", QStringLiteral("Add Reading"), [](ReadingsGrid& grid) { grid.addReading(); });
    m_edit = addMenuAction("actEdit", QStringLiteral("Edit"), [](ReadingsGrid& grid) { grid.editCurrent(); });
    m_remove = addMenuAction("actRemoveReading", QStringLiteral("Remove Reading"),
                             [](ReadingsGrid& grid) { grid.removeSelected(); });
    m_restore = addMenuAction("actRestoreSamples", QStringLiteral("Restore Sample Readings"),
                              [](ReadingsGrid& grid) { grid.askToRestoreSamples(); });
    m_deviations =
        addMenuAction("actReadingsAreDeviations", QStringLiteral("Readings Are Deviations From Check"),
                      [](ReadingsGrid& grid) { grid.m_run.setReadingsAreDeviations(grid.m_deviations->isChecked()); });
    m_deviations->setCheckable(true);
    addRunRulesMenu();
    addUndoActions();
    connect(&m_run, &RunModel::changed, this, &ReadingsGrid::followRun);
    connect(&m_run, &RunModel::modelReset, this, &ReadingsGrid::followRun);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &ReadingsGrid::updateActions);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &ReadingsGrid::updateActions);
    followRun();
    // A flat report of one-line rows, all as high as a sample's: a table lays out no row it does not
    // show, so that a reading costs the same at the ten thousandth as at the first.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setShowGrid(false);
    setWordWrap(false);
    verticalHeader()->setMinimumSectionSize(sizeHintForRow(0));
    verticalHeader()->setDefaultSectionSize(sizeHintForRow(0));
    setSelectionBehavior(SelectRows);
    setTabKeyNavigation(false); // Tab leaves the grid for the next control
}

ReadingsGrid::~ReadingsGrid()
{
    // The view goes before its models: it must not hear of them going.
    setModel(nullptr);
}

QAction* ReadingsGrid::addMenuAction(const char* name, const QString& text, void (*run)(ReadingsGrid&))
{
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, [this, run] { run(*this); });
    addAction(action);
    return action;
}

void ReadingsGrid::addRunRulesMenu()
{
    auto* menu = new QMenu(this);
    auto* choice = new QActionGroup(menu);
    const auto add = [&](const char* name, const QString& text, RunRules rules) {
        QAction* action = menu->addAction(text, this, [this, rules] { m_run.setRunRules(rules); });
        action->setObjectName(QLatin1String(name));
        action->setCheckable(true);
        choice->addAction(action);
        return action;
    };
    m_shiftAndTrend = add("actShiftAndTrend", QStringLiteral("Shift and Trend"), RunRules::ShiftAndTrend);
    m_anhoj = add("actAnhojRules", QStringLiteral("Anh\u00F8j's Rules"), RunRules::Anhoj);
    auto* rules = new QAction(QStringLiteral("Run Rules"), this);
    rules->setObjectName(QStringLiteral("actRunRules"));
    rules->setMenu(menu);
    addAction(rules);
}

void ReadingsGrid::addUndoActions()
{
    // Reached by their keys anywhere in the window; a text box being typed in takes them first.
    QAction* undo = m_run.undoStack().createUndoAction(this, QStringLiteral("Undo"));
    undo->setObjectName(QStringLiteral("actUndo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = m_run.undoStack().createRedoAction(this, QStringLiteral("Redo"));
    redo->setObjectName(QStringLiteral("actRedo"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction* action : {undo, redo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
}

void ReadingsGrid::updateActions()
{
    const bool logged = !showsSamples();
    m_edit->setEnabled(logged && currentIndex().isValid() && !isPending(currentIndex()));
    m_remove->setEnabled(logged && selectionModel()->hasSelection());
    m_restore->setEnabled(logged);
}

void ReadingsGrid::followRun()
{
    // The samples stand in for readings only while the run has none.
    if (m_run.rowCount() > 0 && m_samples.rowCount() > 0)
        m_samples.setRowCount(0);
    else if (m_run.rowCount() == 0 && m_samples.rowCount() == 0)
        fillSampleRows(m_samples);
    m_deviations->setChecked(m_run.record().ReadingsAreDeviations);
    (m_run.record().Rules == RunRules::Anhoj ? m_anhoj : m_shiftAndTrend)->setChecked(true);
    m_runLine = QString::fromStdString(RunLineText(m_run));
    showLines();
    updateActions();
}

bool ReadingsGrid::isMarked(int row) const
{
    return row < m_run.rowCount() && m_run.isOutside(row);
}

bool ReadingsGrid::showsSamples() const
{
    return m_run.rowCount() == 0;
}

std::vector<Reading> ReadingsGrid::readings() const
{
    return m_run.recordWithReadings().Readings;
}

bool ReadingsGrid::isPending(const QModelIndex& index) const
{
    return m_pendingRow.rowCount() > 0 && index.row() == m_rows.rowCount() - 1;
}

void ReadingsGrid::addReading(const QString& typed)
{
    if (m_pendingRow.rowCount() > 0)
        return;
    const QDateTime now = m_clock();
    const Moment shown{now.toSecsSinceEpoch(), now.offsetFromUtc()};
    auto* time = new QStandardItem(QString::fromStdString(TimeOfDayText(shown)));
    time->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    m_pendingRow.appendRow({time, new QStandardItem});
    const QModelIndex value = m_rows.index(m_rows.rowCount() - 1, ValueColumn);
    setCurrentIndex(value);
    scrollTo(value);
    edit(value);
    if (auto* editor = qobject_cast<QLineEdit*>(indexWidget(value)))
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
    while (!m_waiting.empty() && state() != EditingState) {
        const Waiting next = std::move(m_waiting.front());
        m_waiting.pop_front();
        log(next.value, next.stamp);
    }
}

void ReadingsGrid::logEverythingNow()
{
    finishEditing();
    while (!m_waiting.empty()) {
        const Waiting next = std::move(m_waiting.front());
        m_waiting.pop_front();
        log(next.value, next.stamp);
    }
}

void ReadingsGrid::log(const QString& typed, const QDateTime& stamp)
{
    const std::optional<Decimal> value = ReadingValue(typed.toStdString());
    if (!value)
        return;
    m_run.logReading({{stamp.toSecsSinceEpoch(), stamp.offsetFromUtc()}, *value});
    const int row = m_run.rowCount() - 1;
    if (m_run.isOutside(row))
        m_bell();
}

void ReadingsGrid::editCurrent()
{
    if (currentIndex().isValid() && !isPending(currentIndex()))
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
    std::vector<std::string> keys;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        if (index.row() < m_run.rowCount())
            keys.push_back(m_run.readings()[std::size_t(index.row())].key);
    if (keys.empty() || (keys.size() > 1 && !confirmRemoval(int(keys.size()))))
        return;
    m_run.removeReadings(keys);
}

void ReadingsGrid::askToRestoreSamples()
{
    const int logged = m_run.rowCount();
    if (logged == 0 || !confirmRemoval(logged))
        return;
    std::vector<std::string> keys;
    for (const RunReading& reading : m_run.readings())
        keys.push_back(reading.key);
    m_run.removeReadings(keys);
}

void ReadingsGrid::keyPressEvent(QKeyEvent* event)
{
    if (startsReading(*event))
        addReading(event->text());
    else if (event->key() == Qt::Key_Delete)
        removeSelected();
    else
        QTableView::keyPressEvent(event);
}

QString ReadingsGrid::status() const
{
    return m_runLine;
}

QString ReadingsGrid::note(NoteSource source) const
{
    return source == NoteSource::Store ? m_storeNote : m_gaugeNote;
}

void ReadingsGrid::showNote(NoteSource source, const QString& text)
{
    (source == NoteSource::Store ? m_storeNote : m_gaugeNote) = text;
    showLines();
}

void ReadingsGrid::showLines()
{
    QStringList lines;
    for (const QString* line : {&m_runLine, &m_storeNote, &m_gaugeNote})
        if (!line->isEmpty())
            lines.append(*line);
    const QString text = lines.join(QLatin1Char('\n'));
    if (text == m_status->text())
        return;
    m_status->setText(text);
    m_status->setToolTip(text);
    m_status->setVisible(!text.isEmpty());
    updateGeometries();
}

void ReadingsGrid::updateGeometries()
{
    QTableView::updateGeometries();
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
    if (height > 0) // a line without text is hidden where it was
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
    const QModelIndex pendingValue =
        m_pendingRow.rowCount() > 0 ? m_rows.index(m_rows.rowCount() - 1, ValueColumn) : QModelIndex();
    const bool pending = pendingValue.isValid() && indexWidget(pendingValue) == editor;
    // Values that waited for the editor are logged once it is closed, however it closes.
    const auto thenWaiting = qScopeGuard([this] { logWaiting(); });
    // A new reading is done once its editor closes: no hopping on to another cell.
    QTableView::closeEditor(editor, pending ? QAbstractItemDelegate::NoHint : hint);
    if (!pending)
        return;
    const QString typed = m_pendingRow.item(0, ValueColumn)->text();
    m_pendingRow.setRowCount(0);
    // Abandoned, or left without a number.
    if (typed.isEmpty())
        return;
    log(typed, m_clock());
    const QModelIndex logged = m_rows.index(m_run.rowCount() - 1, ValueColumn);
    setCurrentIndex(logged);
    scrollTo(logged);
}

} // namespace quorvale
