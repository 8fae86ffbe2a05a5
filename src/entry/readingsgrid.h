// The readings grid: a two-column report of the run's readings, time of day against value. It opens
// with grey sample rows; typing a number logs a reading stamped with the date and time, and the first
// reading logged replaces the samples.
#pragma once

#include "reading.h"
#include "readingstats.h"
#include "runstore.h"

#include <QDateTime>
#include <QTreeWidget>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;

namespace quorvale {

struct ReadingsColumnWidths {
    float dateTime;  // twips
    float tolerance; // twips
};

// The grid's width less three screen pixels, shared 40 % and 55 % between the two columns.
ReadingsColumnWidths readingsColumnWidths(float gridWidthTwips, float twipsPerPixel);

// Creates the "Date/Time" and "Tolerance" columns in report view.
void setUpReadingsGrid(QTreeWidget& grid, float gridWidthTwips, float twipsPerPixel);
// Replaces the rows with the fixed series of fourteen sample readings, shown in grey.
void fillReadingsGrid(QTreeWidget& grid);

class ReadingsGrid final : public QTreeWidget {
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;
    // Asks the inspector a Yes/No question before readings go; true on Yes.
    using Confirm = std::function<bool(const QString& question)>;
    using Bell = std::function<void()>;

    explicit ReadingsGrid(QWidget* parent = nullptr);
    ~ReadingsGrid() override;
    // What stamps a new reading; the local date and time unless set.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // What asks before more than one reading is removed or the samples replace logged readings;
    // without it, nothing is asked.
    void setConfirm(Confirm confirm) { m_confirm = std::move(confirm); }
    // What sounds when a new reading lies outside its limits; the desktop's bell unless set.
    void setBell(Bell bell) { m_bell = std::move(bell); }

    // The limits readings are judged by, and how many decimals they are shown with; none without
    // numeric tolerances. A reading outside them shows in bold red.
    void setLimits(std::optional<ToleranceLimits> limits, int decimals);
    bool isMarked(int row) const;

    // The inspector's choice in the context menu: the readings are deviations from Check, not sizes.
    bool readingsAreDeviations() const;
    void setReadingsAreDeviations(bool deviations);

    // The readings logged, in order; empty while the grid shows its samples.
    std::vector<Reading> readings() const;
    bool showsSamples() const;
    // The logged reading in a row, and the number its run keeps it under (0 while it is not kept).
    Reading readingAt(int row) const;
    int keptNumber(int row) const;
    void setKeptNumber(int row, int number);
    // Marks a reading that could not be kept: italic, with a tool tip saying so.
    void markNotSaved(int row, bool notSaved);
    // Shows these readings, each kept under its number (0: not kept), instead of the grid's rows; none
    // brings the samples.
    void setReadings(const std::vector<StoredReading>& readings);

    // A new reading stamped now, its value open for typing (the start of it given).
    void addReading(const QString& typed = {});
    // Takes what is typed into an open cell as Enter would, so that leaving the page by a key loses
    // nothing; false, with the hint, when the text is no time or reading and the cell stays open.
    bool finishEditing();
    // Logs the value as if it were typed into a new reading and entered, stamped now; the focus stays
    // where it is. While an editor is open, the value waits and is logged as soon as the editor
    // closes, in the order of arrival. False when MaxWaiting values wait already: it is not taken.
    bool logAsTyped(const QString& value);
    static constexpr std::size_t MaxWaiting = 1000;
    // Opens the current cell of a logged reading for editing.
    void editCurrent();
    // Removes the selected readings; removing the last one brings the samples back.
    void removeSelected();
    // Back to the untouched grid: the sample rows.
    void restoreSamples();
    // The context menu's Restore Sample Readings: asks first when readings are logged.
    void askToRestoreSamples();
    // Undoes the last edit or removal (Ctrl+Z).
    void undo();
    // The one line at the foot of the grid: what became of the reading logged last ("Reading 12 (25.013) is
    // above the upper limit 25.010."), the run's keeping ("A reading is not saved ...") or the gauge's state
    // and notes. The latest text wins; empty hides it.
    void showStatus(const QString& text);
    QString status() const;

signals:
    // Enter logged a new reading in this row, the last.
    void readingLogged(int row);
    // The reading in this row changed, by an edit or an undo.
    void readingEdited(int row);
    // Readings went; the numbers they were kept under.
    void readingsRemoved(const QList<int>& keptNumbers);
    // An undo put removed readings back in these rows.
    void readingsRestored(const QList<int>& rows);
    // The grid shows its samples again: the readings it showed are no longer the run's.
    void samplesRestored();

signals:
    // The inspector switched between sizes and deviations.
    void readingsAreDeviationsChanged();

protected:
    using QTreeWidget::edit;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void updateGeometries() override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    struct Waiting {
        QString value;
        QDateTime stamp;
    };

    void openReading(const QString& typed, const QDateTime& now);
    void logWaiting();
    QAction* addMenuAction(const char* name, const QString& text, void (*run)(ReadingsGrid&));
    void updateActions();
    void mark(QTreeWidgetItem& item);
    // Says what the new reading at the end means and rings for one out of tolerance.
    void reportLogged(QTreeWidgetItem& item);
    // Says under the editor why its text was not taken.
    void showHint(QLineEdit& editor, const QString& why);
    bool confirmRemoval(int count) const;
    // Takes the rows out, keeps them for an undo and says which kept numbers went.
    void removeRows(std::vector<int> rows);
    // Removed rows kept for an undo, with the rows they stood in, or the row an edit changed.
    struct UndoStep {
        std::vector<std::pair<int, std::unique_ptr<QTreeWidgetItem>>> removed;
        int editedRow = -1;
        Reading before;
    };

    Clock m_clock = &QDateTime::currentDateTime;
    Confirm m_confirm;
    Bell m_bell;
    std::optional<ToleranceLimits> m_limits;
    int m_limitDecimals = 0;
    QTreeWidgetItem* m_pending = nullptr; // the new reading being typed, not logged yet
    int m_editedRow = -1;                 // the logged reading whose cell is open, and what it was
    Reading m_beforeEdit;
    std::vector<UndoStep> m_undo;
    QAction* m_edit = nullptr;
    QAction* m_remove = nullptr;
    QAction* m_restore = nullptr;
    QAction* m_deviations = nullptr;
    QLabel* m_hint = nullptr;
    QLabel* m_status = nullptr;
    std::deque<Waiting> m_waiting; // values to log as typed once no editor is open
    bool m_loggingWaiting = false;
};

} // namespace quorvale
