// SIGINT, SIGTERM and SIGHUP end the program in order: the reading being typed and the gauge
// readings waiting behind it are kept, in order, and the program still ends by the signal.
#include "scriptedplatform.h"
#include "wizard.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

namespace {

using namespace quorvale;

TEST(EndSignals, WhatWaitsBehindTheEditorIsKeptBeforeTheSignalEndsTheProgram)
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        QTemporaryDir folder;
        const QString database = folder.filePath(QStringLiteral("runs.sqlite"));
        QProcess program;
        program.start(QStringLiteral(WAITING_WIZARD),
                      {database, folder.path(), QStringLiteral("-platform"), QStringLiteral("offscreen")});
        ASSERT_TRUE(program.waitForStarted());
        QByteArray said;
        while (!said.contains("waiting") && program.waitForReadyRead(20000))
            said += program.readAllStandardOutput();
        ASSERT_TRUE(said.contains("waiting")) << said.toStdString() << program.readAllStandardError().toStdString();
        ::kill(pid_t(program.processId()), signal);
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(program.exitCode(), signal);
        EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("tempchart.txt"))));

        // The next start brings the run back as it was left.
        ScriptedPlatform platform;
        Wizard next(platform, DataSheetFolder{folder.path().toStdString(), {}}, database,
                    RunsDataFolder{folder.path(), {}});
        ASSERT_TRUE(next.start());
        QStringList values;
        for (const RunReading& reading : next.entryWindow().run().readings())
            values << QString::fromStdString(reading.reading.value.text());
        EXPECT_EQ(values, (QStringList{"25.5", "25.1", "25.2"}));
    }
}

} // namespace
