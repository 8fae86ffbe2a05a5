// The two-page wizard: owns the windows and passes the user from one to the next.
#pragma once

#include "form1.h"
#include "frmpdf.h"

#include <QPointer>
#include <QString>

namespace quorvale {

class Platform;

class Wizard final {
public:
    Wizard(Platform& platform, QString programFolder);
    ~Wizard();

    // Shows the start-up window, the entry window.
    void start();

    Form1& entryWindow() { return m_form1; }
    // The output window while it is loaded, else null.
    frmPDF* outputWindow() const { return m_frmPDF; }

private:
    // Hides the entry window behind a fresh output window.
    void showOutput();
    // Hides the entry window behind a fresh help window, which brings it back when it closes.
    void showHelp();

    Platform& m_platform;
    const QString m_programFolder;
    Form1 m_form1;
    QPointer<frmPDF> m_frmPDF;
};

} // namespace quorvale
