#include "readingsgrid.h"

#include "twips.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QValidator>

namespace quorvale {

namespace {

constexpr int TimeColumn = 0;
constexpr int ValueColumn = 1;
constexpr int LoggedAtRole = Qt::UserRole;      // a logged reading's Reading::loggedAt
constexpr int UtcOffsetRole = Qt::UserRole + 1; // and its Reading::utcOffset
constexpr int SampleRole = Qt::UserRole + 2;    // set on the sample rows

const QColor SampleGrey(128, 128, 128);

// When the reading in the time cell at index was logged; its value is left empty.
Reading loggedAt(const QModelIndex& index)
{
    return {index.data(LoggedAtRole).toLongLong(), index.data(UtcOffsetRole).toInt(), {}};
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
        const auto value = ReadingValueText(text);
        return value && ReadingInRange(*value) ? Acceptable : Intermediate;
    }

    QString refusal(const QString& input) const
    {
        if (m_column == TimeColumn)
            return QStringLiteral("Type the time as 13:20, 13:20:05 or 1:20 PM.");
        if (ReadingValueText(input.toStdString()))
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
            const Reading reading = AtSecondOfDay(loggedAt(index), *ParseClockTime(typed));
            model->setData(index, QString::fromStdString(TimeOfDayText(reading)));
            model->setData(index, QVariant::fromValue<qint64>(reading.loggedAt), LoggedAtRole);
        } else {
            model->setData(index, QString::fromStdString(*ReadingValueText(typed)));
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

ReadingsGrid::ReadingsGrid(QWidget* parent) : QTreeWidget(parent)
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
    setEditTriggers(DoubleClicked | EditKeyPressed);
    setSelectionMode(ExtendedSelection);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    addMenuAction("actAddReading", QStringLiteral("Add Reading"), [](ReadingsGrid& grid) { grid.addReading(); });
    m_edit = addMenuAction("actEdit", QStringLiteral("Edit"), [](ReadingsGrid& grid) { grid.editCurrent(); });
    m_remove = addMenuAction("actRemoveReading", QStringLiteral("Remove Reading"),
                             [](ReadingsGrid& grid) { grid.removeSelected(); });
    m_restore = addMenuAction("actRestoreSamples", QStringLiteral("Restore Sample Readings"),
                              [](ReadingsGrid& grid) { grid.restoreSamples(); });
    m_deviations = addMenuAction("actReadingsAreDeviations", QStringLiteral("Readings Are Deviations From Check"),
                                 [](ReadingsGrid& grid) { emit grid.readingsAreDeviationsChanged(); });
    m_deviations->setCheckable(true);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &ReadingsGrid::updateActions);
    connect(this, &QTreeWidget::currentItemChanged, this, &ReadingsGrid::updateActions);
    updateActions();
}

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
        const QTreeWidgetItem* item = topLevelItem(i);
        if (item != m_pending) {
            Reading reading = loggedAt(indexFromItem(item, TimeColumn));
            reading.value = item->text(ValueColumn).toStdString();
            logged.push_back(std::move(reading));
        }
    }
    return logged;
}

void ReadingsGrid::addReading(const QString& typed)
{
    if (m_pending)
        return;
    const QDateTime now = m_clock();
    const Reading stamp{now.toSecsSinceEpoch(), now.offsetFromUtc(), {}};
    m_pending = new QTreeWidgetItem(this, {QString::fromStdString(TimeOfDayText(stamp)), QString()});
    m_pending->setData(TimeColumn, LoggedAtRole, QVariant::fromValue<qint64>(stamp.loggedAt));
    m_pending->setData(TimeColumn, UtcOffsetRole, stamp.utcOffset);
    m_pending->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable);
    setCurrentItem(m_pending, ValueColumn);
    scrollToItem(m_pending);
    editItem(m_pending, ValueColumn);
    if (auto* editor = qobject_cast<QLineEdit*>(indexWidget(indexFromItem(m_pending, ValueColumn))))
        editor->setText(typed);
}

void ReadingsGrid::editCurrent()
{
    if (currentIndex().isValid())
        edit(currentIndex());
}

void ReadingsGrid::removeSelected()
{
    if (showsSamples())
        return;
    for (QTreeWidgetItem* item : selectedItems())
        if (item != m_pending)
            delete item;
    if (topLevelItemCount() == 0)
        restoreSamples();
    else
        updateActions();
}

void ReadingsGrid::restoreSamples()
{
    m_pending = nullptr;
    fillReadingsGrid(*this);
    updateActions();
}

void ReadingsGrid::keyPressEvent(QKeyEvent* event)
{
    if (startsReading(*event))
        addReading(event->text());
    else if (event->key() == Qt::Key_Delete)
        removeSelected();
    else
        QTreeWidget::keyPressEvent(event);
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
    // A new reading is done once its editor closes: no hopping on to another cell.
    QTreeWidget::closeEditor(editor, pending ? QAbstractItemDelegate::NoHint : hint);
    if (!pending)
        return;
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
}

} // namespace quorvale
