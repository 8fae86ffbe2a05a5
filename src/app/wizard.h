// The two-page wizard: owns the windows and passes the user from one to the next.
#pragma once

#include "form1.h"

#include <QString>

namespace quorvale {

class Platform;

class Wizard final {
public:
    Wizard(Platform& platform, QString programFolder);

    // Shows the start-up window, the entry window.
    void start();

    Form1& entryWindow() { return m_form1; }

private:
    // Hides the entry window behind a fresh help window, which brings it back when it closes.
    void showHelp();

    Platform& m_platform;
    const QString m_programFolder;
    Form1 m_form1;
};

} // namespace quorvale
