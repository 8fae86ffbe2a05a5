// The entry window: the run chart record's text boxes, the readings grid, the output-format
// check boxes and the wizard's buttons. Its forward button writes the data sheet.
#pragma once

#include "outputformats.h"
#include "runchartrecord.h"
#include "runmodel.h"

#include <QString>
#include <QWidget>

#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace quorvale {

class DataSheetFile;
class GaugeConnection;
class Platform;
class ReadingsGrid;

class Form1 final : public QWidget {
    Q_OBJECT

public:
    // The gauge is the wizard's: the window sets it up, shows its notes and logs the readings handed
    // to logGaugeReading.
    Form1(Platform& platform, DataSheetFile& dataSheet, GaugeConnection& gauge, QWidget* parent = nullptr);
    ~Form1() override;

    // Copies the text boxes into the record and writes the data sheet; on failure warns and returns false.
    bool SetData();
    void SetListView();
    void FillListView();

    // The record as the data sheet was last written with it, readings and all.
    const RunChartRecord& record() const { return m_record; }
    // The nineteen fields as the text boxes hold them now and the run's deviations choice, without the readings.
    RunChartRecord typedRecord() const;
    // The open run: the text boxes and the grid show it.
    RunModel& run() { return m_run; }
    ReadingsGrid& readingsGrid() { return *m_lv1; }
    const OutputFormats& formats() const { return m_formats; }
    GaugeConnection& gauge() { return m_gauge; }
    // Logs a gauge reading into the grid as if typed, waiting behind an open editor; false when it is
    // not taken (the Gauge dialog is open, or too many wait already).
    bool logGaugeReading(const QString& value);

signals:
    // The data sheet is written and a format chosen: the wizard passes on to the output window.
    void forwardRequested(quorvale::OutputFormats formats);
    // The user asked for the help window.
    void helpRequested();
    // The user asked for the runs kept (Ctrl+O, or Open Run... in the grid's menu).
    void openRunRequested();
    // The user asked for the page on logging and its keys (F1, or Keys and Runs... in the grid's menu).
    void keysPageRequested();
    // The window was unloaded (closed for good): its data sheet is no longer needed.
    void unloaded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildHeaderFields();
    void buildFeatureFields();
    void buildFormatsAndButtons();
    void chainTabOrder();
    void addRunActions();
    // The boxes as the run's record reads.
    void showRecord();
    // What is typed in the boxes becomes the run's record; a changed Check or tolerance on a run with
    // readings asks first whether it starts a new run.
    void commitRecord();
    void startNewRun();
    void cmdNextClicked();
    void connectGauge();
    void openGaugeDialog();

    QLineEdit* addTextBox(QWidget* parent, const char* name, std::string RunChartRecord::*field, QRect twips,
                          int tabIndex, const QColor& colour);
    QLabel* addLabel(QWidget* parent, const char* name, const char* caption, QRect twips);
    QWidget* place(QWidget* widget, const char* name, QRect twips);

    Platform& m_platform;
    DataSheetFile& m_dataSheet;
    GaugeConnection& m_gauge;
    const double m_twipsPerPixel;
    RunModel m_run;
    RunChartRecord m_record;
    OutputFormats m_formats;
    bool m_centred = false;
    bool m_frameCentred = false;
    bool m_committing = false;
    bool m_gaugeDialogOpen = false;

    std::vector<std::pair<QLineEdit*, std::string RunChartRecord::*>> m_textBoxes;
    std::vector<std::pair<int, QWidget*>> m_tabIndices;
    QPlainTextEdit* m_txtComments = nullptr;
    ReadingsGrid* m_lv1 = nullptr;
    QCheckBox* m_check1 = nullptr;
    QCheckBox* m_check2 = nullptr;
};

} // namespace quorvale
