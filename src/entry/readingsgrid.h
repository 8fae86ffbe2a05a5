// The readings grid: a view of the open run, time of day against value, one row per reading. It shows
// grey sample rows while the run has no readings; typing a number logs a reading stamped with the
// moment Enter takes it, and the first reading logged replaces the samples. Under the rows, the run's
// line (what its latest reading and its signals say) and, apart from it, the store's and the gauge's
// notes.
#pragma once

#include "reading.h"

#include <QConcatenateTablesProxyModel>
#include <QDateTime>
#include <QStandardItemModel>
#include <QTableView>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;

namespace quorvale {

class RunModel;

struct ReadingsColumnWidths {
    float dateTime;  // twips
    float tolerance; // twips
};

// The grid's width less three screen pixels, shared 40 % and 55 % between the two columns.
ReadingsColumnWidths readingsColumnWidths(float gridWidthTwips, float twipsPerPixel);

// Sizes the "Date/Time" and "Tolerance" columns of a table, their captions at the left.
void setUpReadingsGrid(QTableView& grid, float gridWidthTwips, float twipsPerPixel);
// The fixed series of fourteen sample readings, shown in grey, as the only rows.
void fillSampleRows(QStandardItemModel& samples);

class ReadingsGrid final : public QTableView {
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;
    // Asks the inspector a Yes/No question before readings go; true on Yes.
    using Confirm = std::function<bool(const QString& question)>;
    using Bell = std::function<void()>;
    // Who a note under the line comes from; each keeps its own line.
    enum class NoteSource { Store, Gauge };

    explicit ReadingsGrid(RunModel& run, QWidget* parent = nullptr);
    ~ReadingsGrid() override;
    RunModel& run() { return m_run; }
    // What stamps a new reading; the local date and time unless set.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // What asks before more than one reading is removed; without it, nothing is asked.
    void setConfirm(Confirm confirm) { m_confirm = std::move(confirm); }
    // What sounds when a new reading lies outside its limits; the desktop's bell unless set.
    void setBell(Bell bell) { m_bell = std::move(bell); }

    // Whether the reading in a row lies outside the run's limits: bold red.
    bool isMarked(int row) const;
    bool showsSamples() const;
    // The run's readings, in order.
    std::vector<Reading> readings() const;

    // A new reading, its value open for typing (the start of it given); stamped when Enter takes it.
    void addReading(const QString& typed = {});
    // Takes what is typed into an open cell as Enter would, so that leaving the page by a key loses
    // nothing; false, with the hint, when the text is no time or reading and the cell stays open.
    bool finishEditing();
    // Logs the value as a new reading, stamped now; the focus stays where it is. While an editor is
    // open, the value waits and is logged as soon as the editor closes, in the order of arrival. False
    // when MaxWaiting values wait already: it is not taken.
    bool logAsTyped(const QString& value);
    static constexpr std::size_t MaxWaiting = 1000;
    // On the way out: what is typed (where it is a reading) and every value waiting, logged in order.
    void logEverythingNow();
    // Opens the current cell of a logged reading for editing.
    void editCurrent();
    // Removes the selected readings, asking first for more than one.
    void removeSelected();
    // The context menu's Restore Sample Readings: removes every reading, asking first.
    void askToRestoreSamples();

    // The run's line: "Reading 12 (25.013) is above the upper limit 25.010. 12 readings, ...".
    QString status() const;
    // A note of the store or the gauge, on a line of its own under the run's; empty takes it away.
    void showNote(NoteSource source, const QString& text);
    QString note(NoteSource source) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void updateGeometries() override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    struct Waiting {
        QString value;
        QDateTime stamp;
    };

    void logWaiting();
    void log(const QString& typed, const QDateTime& stamp);
    bool isPending(const QModelIndex& index) const;
    QAction* addMenuAction(const char* name, const QString& text, void (*run)(ReadingsGrid&));
    // "Run Rules": shift and trend, or Anhøj's, the run's choice.
    void addRunRulesMenu();
    void addUndoActions();
    void updateActions();
    void followRun();
    void showLines();
    // Says under the editor why its text was not taken.
    void showHint(QLineEdit& editor, const QString& why);
    bool confirmRemoval(int count) const;

    RunModel& m_run;
    QStandardItemModel m_samples;
    QStandardItemModel m_pendingRow; // the new reading being typed, not logged yet
    QConcatenateTablesProxyModel m_rows;
    Clock m_clock = &QDateTime::currentDateTime;
    Confirm m_confirm;
    Bell m_bell;
    QAction* m_edit = nullptr;
    QAction* m_remove = nullptr;
    QAction* m_restore = nullptr;
    QAction* m_deviations = nullptr;
    QAction* m_shiftAndTrend = nullptr; // the run rules' choices
    QAction* m_anhoj = nullptr;
    QLabel* m_hint = nullptr;
    QLabel* m_status = nullptr;
    QString m_runLine;
    QString m_storeNote;
    QString m_gaugeNote;
    std::deque<Waiting> m_waiting; // values to log once no editor is open
};

} // namespace quorvale
