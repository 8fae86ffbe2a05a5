// The output window's workbook through the scripted platform: the older file, the completion prompt
// and its answers, and the warning after a failed save.
#include "filesizelimit.h"
#include "frmpdf.h"
#include "scriptedplatform.h"
#include "testfiles.h"
#include "workbookreader.h"

#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace quorvale {
namespace {

using Kind = ScriptedPlatform::Call::Kind;

const QString Done = QStringLiteral("RunChart --- EXCEL --- file is done.\r\rDo you want to open the file?");
const QString Unable = QStringLiteral("Unable to Create Excel File.\r");

class CreateExcelTest : public testing::Test {
protected:
    QString file(const QString& name) const { return m_dir.filePath(name); }

    // Finish in an output window with only the workbook chosen, its name and properties as given.
    void create(const QString& outputfile,
                const QStringList& properties = {"Title", "Subject", "Author", "Keywords", "Comments"})
    {
        frmPDF window(m_platform, OutputFormats{/*PdfChosen*/ false, /*ExcelChosen*/ true}, {}, {}, nullptr);
        window.findChild<QLineEdit*>("txtXlsOutputFile")->setText(outputfile);
        const char* boxes[] = {"txtXlsTitle", "txtXlsSubject", "txtXlsAuthor", "txtXlsKeywords", "txtXlsComments"};
        for (int i = 0; i < 5; ++i)
            window.findChild<QLineEdit*>(boxes[i])->setText(properties.value(i));
        window.findChild<QPushButton*>("btnConvert")->click();
    }

    std::vector<Kind> kinds() const
    {
        std::vector<Kind> found;
        for (const auto& call : m_platform.calls)
            found.push_back(call.kind);
        return found;
    }

    // The warning, with the library's reason on its second line.
    void expectOnlyTheWarning(const QString& reason) const
    {
        ASSERT_EQ(kinds(), std::vector<Kind>{Kind::Message});
        const Message& message = m_platform.calls[0].message;
        EXPECT_EQ(message.text, Unable + reason);
        EXPECT_EQ(message.title, "Quorvale v1.0");
        EXPECT_EQ(message.icon, MessageIcon::Warning);
        EXPECT_EQ(message.buttons, MessageButtons::Ok);
    }

    QTemporaryDir m_dir;
    ScriptedPlatform m_platform;
};

TEST_F(CreateExcelTest, YesOpensTheWorkbookAndEndsTheProgram)
{
    const QString outputfile = file(QString::fromUtf8("Prüfung 4.xls"));
    m_platform.answers = {MessageAnswer::Yes};
    create(outputfile, {QString::fromUtf8("Lauf Ä"), "", QString::fromUtf8("Łukasz"), "", ""});

    ASSERT_EQ(kinds(), (std::vector<Kind>{Kind::Message, Kind::OpenDocument, Kind::EndProgram}));
    const Message& prompt = m_platform.calls[0].message;
    EXPECT_EQ(prompt.text, Done);
    EXPECT_EQ(prompt.title, "Quorvale");
    EXPECT_EQ(prompt.icon, MessageIcon::Question);
    EXPECT_EQ(prompt.buttons, MessageButtons::YesNo);
    EXPECT_EQ(prompt.defaultButton, MessageAnswer::No);
    EXPECT_EQ(m_platform.calls[1].path, outputfile);

    // Saved under exactly the name given, with the texts intact.
    const QJsonObject properties = test::ReadWorkbook(outputfile.toStdString())["properties"].toObject();
    EXPECT_EQ(properties["title"].toString(), QString::fromUtf8("Lauf Ä"));
    EXPECT_EQ(properties["author"].toString(), QString::fromUtf8("Łukasz"));
    EXPECT_EQ(properties["subject"].toString(), "");
}

TEST_F(CreateExcelTest, NoReturnsWithTheProgramRunning)
{
    m_platform.answers = {MessageAnswer::No};
    create(file("runchart.xls"));
    EXPECT_EQ(kinds(), std::vector<Kind>{Kind::Message});
    EXPECT_EQ(m_platform.calls[0].message.text, Done);
    EXPECT_GT(std::filesystem::file_size(file("runchart.xls").toStdString()), 0u);
}

// A second name for the older file shows whether it was replaced as a whole or written over in
// place; a zero-byte file is replaced like any other.
TEST_F(CreateExcelTest, AnOlderFileIsReplacedAsAWhole)
{
    const std::string older = file("runchart.xls").toStdString();
    const std::string otherName = file("other").toStdString();
    for (const std::string text : {"an older file", ""}) {
        std::filesystem::remove(otherName);
        std::ofstream(older) << text;
        std::filesystem::permissions(older, std::filesystem::perms(0640));
        std::filesystem::create_hard_link(older, otherName);

        m_platform.answers = {MessageAnswer::No};
        create(file("runchart.xls"));
        EXPECT_EQ(test::readFile(otherName), text);
        EXPECT_EQ(test::ReadWorkbook(older)["sheets"].toArray(), QJsonArray({"Sheet1"}));
        EXPECT_EQ(std::filesystem::status(older).permissions(), std::filesystem::perms(0640));
    }
}

TEST_F(CreateExcelTest, AFailedSaveWarnsAndKeepsTheProgramRunning)
{
    std::ofstream(file("plain").toStdString()) << "a regular file";
    const QString throughFile = file("plain/runchart.xls");
    m_platform.answers = {MessageAnswer::Ok};
    create(throughFile);
    expectOnlyTheWarning("Cannot open '" + throughFile + "' for writing: Not a directory");
    EXPECT_FALSE(std::filesystem::exists(throughFile.toStdString()));
}

TEST_F(CreateExcelTest, ADirectoryInThePlaceOfTheFileIsAFailedSave)
{
    const std::string directory = file("taken.xls").toStdString();
    std::filesystem::create_directory(directory);
    m_platform.answers = {MessageAnswer::Ok};
    create(file("taken.xls"));
    expectOnlyTheWarning("Cannot open '" + file("taken.xls") + "' for writing: Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(directory));
}

// Opening a named pipe would wait for a reader and freeze the window.
TEST_F(CreateExcelTest, ANamedPipeInThePlaceOfTheFileIsRefused)
{
    const QString pipe = file("pipe.xls");
    ASSERT_EQ(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    m_platform.answers = {MessageAnswer::Ok};
    create(pipe);
    expectOnlyTheWarning("Cannot open '" + pipe + "' for writing: it is a named pipe, not a regular file");
    EXPECT_TRUE(std::filesystem::is_fifo(pipe.toStdString()));
}

// The save breaks off at the file-size limit: the older file stays, and nothing else.
TEST_F(CreateExcelTest, ASaveThatBreaksOffLeavesTheOlderFile)
{
    const std::string older = file("runchart.xls").toStdString();
    std::ofstream(older) << "an older file";
    EXPECT_TRUE(test::HoldsUnderFileSizeLimit(2048, [&] {
        m_platform.answers = {MessageAnswer::Ok};
        create(file("runchart.xls"));
        return kinds() == std::vector<Kind>{Kind::Message} && m_platform.calls[0].message.text.startsWith(Unable);
    })) << "the failed save was not reported by the warning alone";
    EXPECT_EQ(test::readFile(older), "an older file");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.path().toStdString()), {}), 1);
}

} // namespace
} // namespace quorvale
