// The output window on its own: its controls and defaults, Browse, and what Finish makes and asks.
#include "datasheet.h"
#include "fittingcombobox.h"
#include "frmpdf.h"
#include "localepaper.h"
#include "maker.h"
#include "pagesetupchoice.h"
#include "papersizes.h"
#include "readall.h"
#include "readingof.h"
#include "scriptedplatform.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

using namespace quorvale;
using Kind = ScriptedPlatform::Call::Kind;

const QString PdfDone = QStringLiteral("RunChart --- PDF --- file is done.\r\rDo you want to open the file?");
const QString ExcelDone = QStringLiteral("RunChart --- EXCEL --- file is done.\r\rDo you want to open the file?");

using test::readAll;

class OutputWindow : public testing::Test {
protected:
    void SetUp() override
    {
        // The default page size follows the locale's paper: C prints on Letter.
        qputenv("LC_ALL", "C");
        ASSERT_TRUE(folder.isValid());
        QFile sheet(QString::fromStdString(DataSheetPath(folder.path().toStdString())));
        ASSERT_TRUE(sheet.open(QIODevice::WriteOnly));
        sheet.write("Part # : 1234\r\nCustomer Name : Halden\r\n");
        sheet.close();
    }

    void TearDown() override
    {
        delete window.data();
        qunsetenv("LC_ALL");
    }

    // Loads the window with the flags as they stand, shown and active like after the entry window's Next.
    void open()
    {
        window = new frmPDF(platform, formats, record, DataSheetPath(folder.path().toStdString()), &entry,
                            [] { return std::string("20260102030405"); });
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }

    template <typename T = QWidget> T* child(const char* name) const
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char* name) const { return child<QLineEdit>(name)->text(); }
    void click(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }

    // Browse to folder/name, answered by the scripted dialog.
    void browse(const QString& name)
    {
        platform.fileNames.push_back(folder.filePath(name));
        click("btnSave");
    }

    QTemporaryDir folder;
    ScriptedPlatform platform;
    QWidget entry;
    OutputFormats formats;
    RunChartRecord record;
    QPointer<frmPDF> window;
};

TEST_F(OutputWindow, OpensWithItsDefaultsTopmostAtItsPlace)
{
    open();
    EXPECT_EQ(window->objectName(), "frmPDF");
    EXPECT_EQ(window->windowTitle(), "Quorvale");
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->size(), QSize(419, 505)); // 6285 x 7575 twips at 96 dots per inch
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(250, 100));
    EXPECT_EQ(QApplication::focusWidget(), child("btnConvert"));

    const std::vector<std::tuple<const char*, QStringList, QString>> lists = {
        {"cmbFont", {"Courier", "Times-Roman", "Arial"}, "Times-Roman"},
        {"cmbFontSize", {"8pt", "10pt", "12pt", "14pt", "16pt", "18pt", "20pt"}, "10pt"},
        {"cmbRotation", {u"0\u00BA"_qs, u"90\u00BA"_qs, u"180\u00BA"_qs, u"270\u00BA"_qs}, u"0\u00BA"_qs},
        {"cmbPageSize", {"8.5\" x 11\"", "8.5\" x 14\"", "14\" x 11\"", "A4 (210 x 297 mm)"}, "8.5\" x 11\""},
    };
    for (const auto& [name, items, selected] : lists) {
        auto* combo = child<QComboBox>(name);
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
        EXPECT_EQ(shown, items) << name;
        EXPECT_EQ(combo->currentText(), selected) << name;
        EXPECT_FALSE(combo->isEditable()) << name;
    }

    EXPECT_EQ(text("txtAuthor"), "Orvin Kellaway");
    EXPECT_EQ(text("txtKeywords"), "PDF Keywords");
    EXPECT_EQ(text("txtSubject"), "Quorvale v1.0");
    EXPECT_EQ(text("txtTitle"), "PDF Title");
    EXPECT_EQ(text("txtCreator"), QString::fromUtf8(MakerUrl));
    EXPECT_FALSE(child("txtCreator")->isEnabled());
    EXPECT_EQ(child<QLineEdit>("txtCreator")->cursorPosition(), 0); // shows "http://www..."
    EXPECT_EQ(text("txtFilename"), QString::fromStdString(DataSheetPath(folder.path().toStdString())));
    EXPECT_FALSE(child("txtFilename")->isVisible());
    for (const char* name : {"txtOutputFile", "txtXlsOutputFile"}) {
        EXPECT_TRUE(text(name).isEmpty()) << name;
        EXPECT_FALSE(child(name)->isEnabled()) << name;
    }
    EXPECT_EQ(text("txtXlsTitle"), "Excel Title");
    EXPECT_EQ(text("txtXlsSubject"), "Excel Subject");
    EXPECT_EQ(text("txtXlsAuthor"), "Excel Author");
    EXPECT_EQ(text("txtXlsKeywords"), "Excel Keywords");
    EXPECT_EQ(text("txtXlsComments"), "Excel Comments");
    EXPECT_TRUE(child("Frame2")->isEnabled());
    EXPECT_EQ(child<QGroupBox>("Frame1")->title(), "PDF File Properties");
    EXPECT_EQ(child<QGroupBox>("Frame2")->title(), "Excel File Properties");
    EXPECT_EQ(child<QPushButton>("cmdBack")->text(), "<< &Back");
    EXPECT_EQ(child<QPushButton>("cmdCancel")->text(), "&Cancel");
    EXPECT_EQ(child<QPushButton>("btnConvert")->text(), "&Finish");
    EXPECT_EQ(child<QPushButton>("btnSave")->text(), "Br&owse...");
}

TEST_F(OutputWindow, TabVisitsTheEnabledControlsInOrder)
{
    open();
    const QStringList expected = {"cmdCancel",   "cmbPageSize",   "cmbFontSize",  "cmbRotation",    "cmbFont",
                                  "txtTitle",    "btnSave",       "txtSubject",   "txtKeywords",    "txtAuthor",
                                  "txtXlsTitle", "txtXlsSubject", "txtXlsAuthor", "txtXlsKeywords", "txtXlsComments",
                                  "cmdBack",     "btnConvert"};
    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(OutputWindow, PdfPropertiesSelectTheirTextOnFocusExcelPropertiesDoNot)
{
    open();
    auto* title = child<QLineEdit>("txtTitle");
    title->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(title->selectedText(), "PDF Title");
    QTest::keyClick(title, Qt::Key_Tab); // on to Browse, then back by keyboard
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(title->selectedText(), "PDF Title");

    auto* comments = child<QLineEdit>("txtXlsComments");
    child("txtXlsKeywords")->setFocus();
    QTest::keyClick(child("txtXlsKeywords"), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), comments);
    EXPECT_FALSE(comments->hasSelectedText());
}

TEST_F(OutputWindow, BrowseAsksOnceAndDerivesBothNames)
{
    open();
    platform.fileNames = {"/runs/bracket.pdf"};
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
    // An access key clicks with a short animation.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !platform.calls.empty(); }));
    const auto dialogs = platform.callsOf(Kind::SaveDialog);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].dialog.title, "Save PDF As");
    EXPECT_EQ(dialogs[0].dialog.filter, "Portable Document Format files (*.pdf)|*.pdf");
    EXPECT_EQ(dialogs[0].dialog.defaultSuffix, "pdf");
    EXPECT_TRUE(dialogs[0].dialog.initialDir.isEmpty());
    EXPECT_TRUE(dialogs[0].dialog.defaultFileName.isEmpty());
    EXPECT_EQ(text("txtOutputFile"), "/runs/bracket.pdf");
    EXPECT_EQ(text("txtXlsOutputFile"), "/runs/bracket.xls");

    const QString longPath = "/runs/" + QString(300, u'a') + ".txt"; // no length limit
    const std::vector<std::tuple<QString, QString, QString>> cases = {
        {"/runs/bracket.txt", "/runs/bracket.pdf", "/runs/bracket.xls"},
        {"/runs/bracket.jpeg", "/runs/bracket.jpdf", "/runs/bracket.jxls"},
        {longPath, longPath.chopped(3) + "pdf", longPath.chopped(3) + "xls"},
        {"", longPath.chopped(3) + "pdf", longPath.chopped(3) + "xls"}, // cancelled: names kept
    };
    for (const auto& [chosen, pdf, xls] : cases) {
        platform.fileNames.push_back(chosen);
        click("btnSave");
        EXPECT_EQ(text("txtOutputFile"), pdf) << chosen.toStdString();
        EXPECT_EQ(text("txtXlsOutputFile"), xls) << chosen.toStdString();
    }
    EXPECT_TRUE(platform.messages().empty());
}

TEST_F(OutputWindow, WithoutExcelTheFrameIsDisabledYetBrowseNamesBoth)
{
    formats.ExcelChosen = false;
    open();
    EXPECT_FALSE(child("Frame2")->isEnabled());
    EXPECT_TRUE(child("Frame1")->isEnabled());
    browse("bracket.pdf");
    EXPECT_EQ(text("txtXlsOutputFile"), folder.filePath("bracket.xls"));

    platform.answers = {MessageAnswer::No};
    click("btnConvert");
    EXPECT_TRUE(QFile::exists(folder.filePath("bracket.pdf")));
    EXPECT_FALSE(QFile::exists(folder.filePath("bracket.xls")));
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].text, PdfDone);
}

// Finish without a name for a chosen output: one warning, nothing made.
void expectNameWarnings(const ScriptedPlatform& platform, std::size_t count, const QString& folder)
{
    ASSERT_EQ(platform.calls.size(), count);
    for (const Message& warning : platform.messages()) {
        EXPECT_EQ(warning.text, "Please specify RunChart file name.");
        EXPECT_EQ(warning.title, "Quorvale");
        EXPECT_EQ(warning.icon, MessageIcon::Warning);
        EXPECT_EQ(warning.buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"tempchart.txt"});
}

TEST_F(OutputWindow, FinishWithoutNamesWarnsOnceAndMakesNothing)
{
    open();
    platform.answers = {MessageAnswer::Ok};
    click("btnConvert");
    expectNameWarnings(platform, 1, folder.path());
}

TEST_F(OutputWindow, OnlyExcelWithoutNamesWarnsOnEachFinish)
{
    formats.PdfChosen = false;
    open();
    platform.answers = {MessageAnswer::Ok, MessageAnswer::Ok};
    click("btnConvert");
    click("btnConvert");
    expectNameWarnings(platform, 2, folder.path());
}

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("older");
}

// The derived names replace files the Save As dialog never asked about: Browse asks once, naming them.
TEST_F(OutputWindow, BrowseAsksBeforeTheDerivedNamesReplaceFiles)
{
    open();
    touch(folder.filePath("budget.pdf"));
    touch(folder.filePath("budget.xls"));
    touch(folder.filePath("data.pdf"));
    touch(folder.filePath("data.xls"));
    touch(folder.filePath("data.txt"));

    platform.answers = {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Yes};
    browse("budget.pdf"); // the dialog asked about budget.pdf itself
    browse("data.txt");   // No: the names stay
    ASSERT_EQ(platform.messages().size(), 2u);
    const Message asked = platform.messages()[0];
    EXPECT_EQ(asked.text, "budget.xls already exists.\nDo you want to replace it?");
    EXPECT_EQ(asked.title, "Save PDF As");
    EXPECT_EQ(asked.icon, MessageIcon::Warning);
    EXPECT_EQ(asked.buttons, MessageButtons::YesNo);
    EXPECT_EQ(asked.defaultButton, MessageAnswer::No);
    EXPECT_EQ(platform.messages()[1].text, "data.pdf\ndata.xls already exists.\nDo you want to replace it?");
    EXPECT_EQ(text("txtOutputFile"), folder.filePath("budget.pdf"));
    EXPECT_EQ(text("txtXlsOutputFile"), folder.filePath("budget.xls"));

    browse("data.txt"); // Yes
    EXPECT_EQ(text("txtOutputFile"), folder.filePath("data.pdf"));
    EXPECT_EQ(text("txtXlsOutputFile"), folder.filePath("data.xls"));
    browse("fresh.pdf"); // nothing to replace: nothing asked
    EXPECT_EQ(platform.messages().size(), 3u);
    EXPECT_EQ(text("txtOutputFile"), folder.filePath("fresh.pdf"));
}

TEST_F(OutputWindow, BrowseAsksOnlyAboutTheOutputsFinishWouldWrite)
{
    formats.ExcelChosen = false;
    open();
    touch(folder.filePath("data.xls"));
    browse("data.pdf");
    EXPECT_TRUE(platform.messages().empty());
    EXPECT_EQ(text("txtXlsOutputFile"), folder.filePath("data.xls"));
}

// Property boxes keep to one line; the output names are paths and keep every character.
TEST_F(OutputWindow, PropertyBoxesTurnLineBreaksIntoBlanks)
{
    open();
    QApplication::clipboard()->setText("Run\r\nchart\n4");
    for (const char* name : {"txtTitle", "txtXlsComments"}) {
        auto* box = child<QLineEdit>(name);
        box->clear();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box->text(), "Run chart 4") << name;
    }
    child<QLineEdit>("txtAuthor")->setText(QStringLiteral("A\u2028B\u2029C"));
    EXPECT_EQ(text("txtAuthor"), "A B C");

    platform.fileNames = {"/runs/odd\nname.pdf"};
    click("btnSave");
    EXPECT_EQ(text("txtOutputFile"), "/runs/odd\nname.pdf");
}

TEST_F(OutputWindow, OnlyExcelMakesTheWorkbookAndOpensItOnYes)
{
    formats.PdfChosen = false;
    open();
    browse("bracket.pdf");
    platform.answers = {MessageAnswer::Yes};
    click("btnConvert");
    EXPECT_FALSE(QFile::exists(folder.filePath("bracket.pdf")));
    EXPECT_TRUE(readAll(folder.filePath("bracket.xls")).startsWith("PK"));
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].text, ExcelDone);
    EXPECT_EQ(platform.openedDocuments(), QStringList{folder.filePath("bracket.xls")});
    EXPECT_TRUE(platform.ended());
}

TEST_F(OutputWindow, BothFormatsAskInTurnAndOpenOnlyWhatIsAnsweredYes)
{
    open();
    browse("bracket.pdf");
    platform.answers = {MessageAnswer::Yes, MessageAnswer::No};
    click("btnConvert");

    EXPECT_TRUE(readAll(folder.filePath("bracket.pdf")).startsWith("%PDF-1.2"));
    EXPECT_TRUE(readAll(folder.filePath("bracket.xls")).startsWith("PK"));
    const auto messages = platform.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, PdfDone);
    EXPECT_EQ(messages[0].title, "Quorvale");
    EXPECT_EQ(messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(messages[0].defaultButton, MessageAnswer::No);
    EXPECT_EQ(messages[1].text, ExcelDone);
    // The PDF is opened before the workbook is even made.
    ASSERT_EQ(platform.calls.size(), 4u);
    EXPECT_EQ(platform.calls[2].kind, Kind::OpenDocument);
    EXPECT_EQ(platform.openedDocuments(), QStringList{folder.filePath("bracket.pdf")});
    EXPECT_FALSE(platform.ended());
    EXPECT_TRUE(window->isVisible());
    // Once the viewer has the PDF, this window no longer covers it.
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(OutputWindow, ADocumentTheDesktopCannotOpenIsReportedByName)
{
    open();
    browse("bracket.pdf");
    platform.documentsOpen = false;
    platform.answers = {MessageAnswer::Yes, MessageAnswer::Ok, MessageAnswer::Yes, MessageAnswer::Ok};
    click("btnConvert");

    const auto messages = platform.messages();
    ASSERT_EQ(messages.size(), 4u);
    for (const auto& [message, file] : {std::pair{messages[1], "bracket.pdf"}, std::pair{messages[3], "bracket.xls"}}) {
        EXPECT_EQ(message.text, "Unable to open the file " + QDir::toNativeSeparators(folder.filePath(file)) + ".");
        EXPECT_EQ(message.title, "Quorvale");
        EXPECT_EQ(message.icon, MessageIcon::Warning);
        EXPECT_EQ(message.buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(platform.calls.back().kind, Kind::EndProgram); // after the workbook, as after any Yes
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(OutputWindow, FinishTwiceMakesTheOutputsAgain)
{
    open();
    browse("bracket.pdf");
    platform.answers = {MessageAnswer::No, MessageAnswer::No, MessageAnswer::No, MessageAnswer::No};
    click("btnConvert");
    const QByteArray first = readAll(folder.filePath("bracket.pdf"));
    QFile::remove(folder.filePath("bracket.xls"));
    click("btnConvert");
    EXPECT_EQ(readAll(folder.filePath("bracket.pdf")), first);
    EXPECT_TRUE(QFile::exists(folder.filePath("bracket.xls")));
    EXPECT_EQ(platform.messages().size(), 4u);
    EXPECT_TRUE(platform.openedDocuments().isEmpty());
    EXPECT_TRUE(QFile::exists(folder.filePath("tempchart.txt")));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(OutputWindow, AFailedConversionIsReportedWithoutTheOpenPromptAndTheWorkbookFollows)
{
    open();
    browse("bracket.pdf");
    QFile::remove(folder.filePath("tempchart.txt"));
    platform.answers = {MessageAnswer::Ok, MessageAnswer::No};
    click("btnConvert");

    const auto messages = platform.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[0].text.contains("tempchart.txt")) << messages[0].text.toStdString();
    EXPECT_EQ(messages[0].title, "Quorvale");
    EXPECT_EQ(messages[0].icon, MessageIcon::None);
    EXPECT_EQ(messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(messages[1].text, ExcelDone);
    EXPECT_FALSE(QFile::exists(folder.filePath("bracket.pdf")));
}

// A named pipe would have frozen the window waiting for a reader: it is refused, and the window stays.
TEST_F(OutputWindow, ANamedPipeAsThePdfIsRefusedAndTheWorkbookFollows)
{
    open();
    browse("bracket.pdf");
    const QString pipe = folder.filePath("bracket.pdf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    platform.answers = {MessageAnswer::Ok, MessageAnswer::No};
    click("btnConvert");

    const auto messages = platform.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Cannot open '" + pipe + "' for writing: it is a named pipe, not a regular file");
    EXPECT_EQ(messages[0].icon, MessageIcon::None);
    EXPECT_EQ(messages[1].text, ExcelDone);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(std::filesystem::is_fifo(QFile::encodeName(pipe).toStdString()));
}

// Every item of the lists gives the numbers the writer is called with.
TEST_F(OutputWindow, EveryListItemGivesItsLayoutArgument)
{
    open();
    const auto values = [this](const char* name) {
        auto* combo = child<QComboBox>(name);
        std::vector<PageSetup> layouts;
        for (int i = 0; i < combo->count(); ++i) {
            combo->setCurrentIndex(i);
            layouts.push_back(chosenPageSetup(
                child<QComboBox>("cmbFont")->currentText(), child<QComboBox>("cmbFontSize")->currentText(),
                child<QComboBox>("cmbRotation")->currentText(), child<QComboBox>("cmbPageSize")->currentText()));
        }
        return layouts;
    };
    std::vector<std::string> fonts;
    for (const PageSetup& layout : values("cmbFont"))
        fonts.push_back(layout.font);
    EXPECT_EQ(fonts, (std::vector<std::string>{"Courier", "Times-Roman", "Arial"}));
    std::vector<int> sizes;
    for (const PageSetup& layout : values("cmbFontSize"))
        sizes.push_back(layout.fontSize);
    EXPECT_EQ(sizes, (std::vector<int>{8, 10, 12, 14, 16, 18, 20}));
    std::vector<int> rotations;
    for (const PageSetup& layout : values("cmbRotation"))
        rotations.push_back(layout.rotation);
    EXPECT_EQ(rotations, (std::vector<int>{0, 90, 180, 270}));
    std::vector<std::pair<float, float>> pages;
    for (const PageSetup& layout : values("cmbPageSize"))
        pages.emplace_back(layout.width, layout.height);
    EXPECT_EQ(pages,
              (std::vector<std::pair<float, float>>{
                  {8.5F, 11.F}, {8.5F, 14.F}, {14.F, 11.F}, {inchesFromMillimetres(210), inchesFromMillimetres(297)}}));
}

TEST_F(OutputWindow, CharactersThePdfCannotShowAreNamedBeforeItIsWritten)
{
    formats.ExcelChosen = false;
    // Embedded fonts show Ł, ź and the Hebrew; no installed font has a glyph for the private-use one.
    record.Comments = "Łódź seam ± 0.02? \U0010FFFD \U0010FFFD שלום";
    open();
    child<QLineEdit>("txtTitle")->setText(u"Lot \u0159 \u0141"_qs);
    browse("named.pdf");
    const Message said{u"These characters cannot be shown in the PDF and are written as \"?\": \U0010FFFD. Hebrew "
                       u"text is shown left to right: right-to-left scripts are not yet supported."_qs,
                       "Quorvale", MessageIcon::Warning, MessageButtons::OkCancel, MessageAnswer::Ok};

    platform.answers = {MessageAnswer::Cancel};
    click("btnConvert");
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].text, said.text);
    EXPECT_EQ(platform.messages()[0].title, said.title);
    EXPECT_EQ(platform.messages()[0].icon, said.icon);
    EXPECT_EQ(platform.messages()[0].buttons, said.buttons);
    EXPECT_EQ(platform.messages()[0].defaultButton, said.defaultButton);
    EXPECT_FALSE(QFile::exists(folder.filePath("named.pdf")));

    platform.answers = {MessageAnswer::Ok, MessageAnswer::No};
    click("btnConvert");
    ASSERT_EQ(platform.messages().size(), 3u);
    EXPECT_EQ(platform.messages()[1].text, said.text);
    EXPECT_EQ(platform.messages()[2].text, PdfDone);
    EXPECT_TRUE(readAll(folder.filePath("named.pdf")).contains("/Title <FEFF004C006F00740020015900200141>"));
}

TEST_F(OutputWindow, LoggedReadingsAddTheRunChartAsTheLastPage)
{
    formats.ExcelChosen = false;
    record.PartNumber = "1234";
    record.Check = "25.000 mm";
    record.UpperTolerance = "0.010";
    record.LowerTolerance = "0.010";
    record.Readings = {ReadingOf(1796653685, 0, "25.002"), ReadingOf(1796653745, 0, "25.013"),
                       ReadingOf(1796653805, 0, "24.999")};
    open();
    browse("chart.pdf");
    platform.answers = {MessageAnswer::No};
    click("btnConvert");
    const QByteArray pdf = readAll(folder.filePath("chart.pdf"));
    EXPECT_TRUE(pdf.contains("\r/Count 2\r")); // the sheet's page and the chart's
    EXPECT_TRUE(pdf.contains("(Part 1234 - Check 25.000 mm - 2026-12-07 14:28:05 to 2026-12-07 14:30:05) Tj"));
    // The unit over the values up the side, and in the readings table's heading.
    EXPECT_TRUE(pdf.contains("(mm) Tj"));
    EXPECT_TRUE(pdf.contains("(Reading \\(mm\\)) Tj"));
    EXPECT_TRUE(pdf.contains("(Upper 25.010) Tj\r"));
    EXPECT_TRUE(pdf.contains("(Lower 24.990) Tj"));
    EXPECT_TRUE(pdf.contains("(Median 25.0020) Tj")); // as the summary writes it
    EXPECT_TRUE(pdf.contains("(Check 25.000) Tj"));
    // Mean 75.014 / 3 ± 2.66 x the mean moving range 0.0125, in short dashes.
    EXPECT_TRUE(pdf.contains("(UNPL 25.03792) Tj"));
    EXPECT_TRUE(pdf.contains("(LNPL 24.97142) Tj"));
    EXPECT_EQ(pdf.count("[2 2] 0 d\r"), 2);
    EXPECT_TRUE(pdf.contains("1 0 0 rg\r")); // 25.013 lies above the upper limit
    // The readings once, as the table after the record, not as the data sheet's list.
    EXPECT_TRUE(pdf.contains("(Judgement) Tj"));
    EXPECT_EQ(pdf.count("(2026-12-07 14:28:05) Tj"), 1);
    EXPECT_TRUE(pdf.contains("(25.013) Tj\r"));
    EXPECT_TRUE(pdf.contains("(above upper limit) Tj"));
    EXPECT_FALSE(pdf.contains("14:28:05  25.002"));
}

TEST_F(OutputWindow, TheChosenLayoutReachesThePdf)
{
    open();
    child<QComboBox>("cmbFont")->setCurrentIndex(0);     // Courier
    child<QComboBox>("cmbFontSize")->setCurrentIndex(6); // 20pt
    child<QComboBox>("cmbRotation")->setCurrentIndex(1); // 90º
    child<QComboBox>("cmbPageSize")->setCurrentIndex(2); // 14" x 11"
    child<QLineEdit>("txtTitle")->setText(u"Lot \u00BD"_qs);
    browse("bracket.pdf");
    platform.answers = {MessageAnswer::No, MessageAnswer::No};
    click("btnConvert");

    const QByteArray pdf = readAll(folder.filePath("bracket.pdf"));
    EXPECT_TRUE(pdf.contains("/BaseFont /Courier")) << pdf.constData();
    EXPECT_TRUE(pdf.contains("/F1 20 Tf"));
    EXPECT_TRUE(pdf.contains("/Rotate 90"));
    EXPECT_TRUE(pdf.contains("/MediaBox [ 0 0 1008 792"));
    EXPECT_TRUE(pdf.contains("(Lot \xBD)")); // one Windows-1252 byte

    child<QComboBox>("cmbPageSize")->setCurrentIndex(3);
    platform.answers = {MessageAnswer::No, MessageAnswer::No};
    click("btnConvert");
    EXPECT_TRUE(readAll(folder.filePath("bracket.pdf")).contains("/MediaBox [ 0 0 595 842 ]"));
}

TEST_F(OutputWindow, TheDefaultPageSizeIsThePaperOfTheLocale)
{
    EXPECT_FALSE(LocaleUsesA4("C"));
    EXPECT_FALSE(LocaleUsesA4("POSIX"));
    EXPECT_FALSE(LocaleUsesA4("C.UTF-8"));
    EXPECT_FALSE(LocaleUsesA4("xx_NOWHERE.UTF-8"));
    qputenv("LC_ALL", "");
    qputenv("LC_PAPER", "POSIX");
    EXPECT_EQ(PaperLocaleName(), "POSIX");
    qunsetenv("LC_PAPER");
    if (!LocaleUsesA4("de_DE.UTF-8"))
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    qputenv("LC_ALL", "de_DE.UTF-8");
    open();
    EXPECT_EQ(child<QComboBox>("cmbPageSize")->currentText(), "A4 (210 x 297 mm)");
}

TEST_F(OutputWindow, ThePageSizeBoxShowsAWholeTextAndTheFullSizeInItsToolTip)
{
    open();
    auto* box = qobject_cast<FittingComboBox*>(child<QComboBox>("cmbPageSize"));
    ASSERT_NE(box, nullptr);
    box->setCurrentIndex(3);
    EXPECT_EQ(box->currentText(), "A4 (210 x 297 mm)");
    EXPECT_EQ(box->shownText(), "A4");
    EXPECT_EQ(box->toolTip(), "A4 (210 x 297 mm)");
    box->setCurrentIndex(1);
    EXPECT_EQ(box->shownText(), "8.5\" x 14\"");
    EXPECT_EQ(box->toolTip(), "8.5\" x 14\"");

    const QFontMetrics metrics(box->font());
    const QString a4 = QStringLiteral("A4 (210 x 297 mm)");
    EXPECT_EQ(FittedText(a4, metrics, metrics.horizontalAdvance(a4)), a4);
    EXPECT_EQ(FittedText(a4, metrics, metrics.horizontalAdvance(a4) - 1), "A4");
    // A text without a short form stays whole, clipped as before.
    EXPECT_EQ(FittedText(QStringLiteral("14\" x 11\""), metrics, 5), "14\" x 11\"");
}

TEST(LeadingNumber, ReadsTheLongestLeadingDecimalNumber)
{
    const std::vector<std::pair<QString, double>> cases = {
        {"", 0},     {"pt", 0},   {"20pt", 20}, {" 1 2pt", 12}, {"8.5\" x 11\"", 8.5},  {"1.2.3", 1.2},
        {".5", 0.5}, {"-3x", -3}, {"+", 0},     {".", 0},       {u"270\u00BA"_qs, 270}, {"14\"", 14},
    };
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(text), value) << text.toStdString();
}

TEST(LeadingNumber, RoundsHalvesToEvenAndStaysWithin16Bits)
{
    EXPECT_EQ(chosenPageSetup("", "10.5pt", "11.5", "").fontSize, 10);
    EXPECT_EQ(chosenPageSetup("", "10.5pt", "11.5", "").rotation, 12);
    EXPECT_EQ(chosenPageSetup("", "99999pt", "-99999", "").fontSize, 32767);
    EXPECT_EQ(chosenPageSetup("", "99999pt", "-99999", "").rotation, -32768);
}

} // namespace
