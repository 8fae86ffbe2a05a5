// The readings grid: a two-column report of the run's readings, time of day against value. It opens
// with grey sample rows; typing a number logs a reading stamped with the date and time, and the first
// reading logged replaces the samples.
#pragma once

#include "reading.h"

#include <QDateTime>
#include <QTreeWidget>

#include <functional>
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

    explicit ReadingsGrid(QWidget* parent = nullptr);
    // What stamps a new reading; the local date and time unless set.
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // The inspector's choice in the context menu: the readings are deviations from Check, not sizes.
    bool readingsAreDeviations() const;
    void setReadingsAreDeviations(bool deviations);

    // The readings logged, in order; empty while the grid shows its samples.
    std::vector<Reading> readings() const;
    bool showsSamples() const;

    // A new reading stamped now, its value open for typing (the start of it given).
    void addReading(const QString& typed = {});
    // Opens the current cell of a logged reading for editing.
    void editCurrent();
    // Removes the selected readings; removing the last one brings the samples back.
    void removeSelected();
    // Back to the untouched grid: the sample rows.
    void restoreSamples();

signals:
    // The inspector switched between sizes and deviations.
    void readingsAreDeviationsChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    QAction* addMenuAction(const char* name, const QString& text, void (*run)(ReadingsGrid&));
    void updateActions();
    // Says under the editor why its text was not taken.
    void showHint(QLineEdit& editor, const QString& why);

    Clock m_clock = &QDateTime::currentDateTime;
    QTreeWidgetItem* m_pending = nullptr; // the new reading being typed, not logged yet
    QAction* m_edit = nullptr;
    QAction* m_remove = nullptr;
    QAction* m_restore = nullptr;
    QAction* m_deviations = nullptr;
    QLabel* m_hint = nullptr;
};

} // namespace quorvale
