// The two-page wizard: owns the windows, the data sheet and the gauge, and passes the user and the
// chosen output formats from one window to the next.
#pragma once

#include "datasheetfile.h"
#include "endsignals.h"
#include "form1.h"
#include "frmpdf.h"
#include "gaugeconnection.h"
#include "instancelock.h"
#include "runkeeper.h"

#include <QPointer>

namespace quorvale {

class KeysPage;
class Platform;

class Wizard final {
public:
    // The data sheet goes into the folder chosen at start (the system's bytes, whatever their
    // encoding); the one-copy lock is taken there. The runs are kept in runsDatabase (as
    // ChooseRunsDatabase names it; none when empty), with what is kept about them in the data folder.
    Wizard(Platform& platform, DataSheetFolder folder, const QString& runsDatabase = {},
           const RunsDataFolder& runsDataFolder = {});
    // However the program ends, the data sheet goes with the wizard.
    ~Wizard();

    // Shows the start-up window, the entry window. When another running copy uses the same data
    // sheet, says so instead and returns false: the program is to end.
    bool start();

    Form1& entryWindow() { return m_form1; }
    // The serial gauge: its readings go into the open run whichever window is shown.
    GaugeConnection& gauge() { return m_gauge; }
    // The output window while it is loaded, else null.
    frmPDF* outputWindow() const { return m_frmPDF; }
    // The signal (SIGINT, SIGTERM or SIGHUP) that ended the program, once what waited was logged;
    // 0 when none did. The program raises it again when the wizard is gone.
    int endingSignal() const { return m_endingSignal; }

private:
    // Hides the entry window behind a fresh output window for the chosen formats.
    void showOutput(const OutputFormats& formats);
    // Hides the entry window behind a fresh help window, which brings it back when it closes.
    void showHelp();
    // Shows the keys page beside the entry window, or raises the one already shown.
    void showKeysPage();
    void takeGaugeReading(const QString& value);
    void endOnSignal(int signal);
    // Only the run the output window was opened for is finished by it.
    void finishOutputRun();
    // An unloaded window no longer needs the data sheet.
    void removeDataSheet();

    Platform& m_platform;
    DataSheetFile m_dataSheet;
    InstanceLock m_lock;
    GaugeConnection m_gauge;
    Form1 m_form1;
    RunKeeper m_runs;
    QPointer<frmPDF> m_frmPDF;
    // The run the output window makes, and the gauge readings that arrived while it is open.
    std::string m_outputRun;
    int m_gaugeReadingsIncluded = 0;
    int m_gaugeReadingsAfterFinish = 0;
    // Where the keys page says the runs are kept.
    QString m_runsPlace;
    QPointer<KeysPage> m_keysPage;
    EndSignals m_endSignals;
    int m_endingSignal = 0;
};

} // namespace quorvale
