// The quorvale-txt2pdf command: options, exit status, messages, and no partial output.
#include "pdftestsupport.h"
#include "pdfwriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <sys/stat.h>

namespace {

using quorvale::test::readFile;
using quorvale::test::runCommand;
using quorvale::test::writeFile;

const std::string Command = std::string(QUORVALE_BIN_DIR) + "/quorvale-txt2pdf";
const std::string Golden = std::string(QUORVALE_TEST_DATA) + "/golden/";
const std::string DataSheet = std::string(QUORVALE_TEST_DATA) + "/../base/golden/default-datasheet.txt";
// 12 Mar 2003 10:15:00 UTC, the golden files' creation date.
const std::string Epoch = "SOURCE_DATE_EPOCH=1047464100 ";

class Txt2Pdf : public ::testing::Test {
protected:
    // Runs the command with its standard error captured into m_errors.
    int run(const std::string& arguments, const std::string& environment = "")
    {
        const int status = runCommand(environment + Command + " " + arguments + " 2>'" + m_folder + "/err' >/dev/null");
        m_errors = readFile(m_folder + "/err");
        return status;
    }
    // The PDF without its creation time, which comes from the clock.
    static std::string withoutTimestamp(const std::string& pdf)
    {
        return std::regex_replace(pdf, std::regex("D:[0-9]{14}"), "D:20030312101500");
    }

    // The rows of each page of a PDF file.
    static std::vector<std::vector<std::string>> rows(const std::string& path)
    {
        quorvale::test::PdfPages pages;
        EXPECT_TRUE(quorvale::test::checkStructure(readFile(path), &pages));
        return pages.rows;
    }

    quorvale::test::TempDir m_dir;
    std::string m_folder = m_dir.path();
    std::string m_errors;
};

TEST_F(Txt2Pdf, DefaultsAndOptionsGiveTheOutputWindowsDocuments)
{
    const std::string tabsKept = "--encoding windows-1252 --line-ends cr --tab-size 0 --trim both ";
    ASSERT_EQ(run(tabsKept + "'" + DataSheet + "' '" + m_folder + "/a.pdf'"), 0);
    EXPECT_EQ(withoutTimestamp(readFile(m_folder + "/a.pdf")), readFile(Golden + "datasheet-default.pdf"));
    ASSERT_EQ(run(tabsKept + "--font Courier --size 20 --rotation 90 --page 8.5x14 '" + DataSheet + "' '" + m_folder +
                  "/b.pdf'"),
              0);
    EXPECT_EQ(withoutTimestamp(readFile(m_folder + "/b.pdf")), readFile(Golden + "datasheet-courier20.pdf"));
    EXPECT_EQ(m_errors, "");
}

TEST_F(Txt2Pdf, InformationGivenInUtf8ReachesTheReaders)
{
    ASSERT_EQ(run("--title 'Maß (1) “ok” €' --author A --creator C --keywords K --subject S '" + DataSheet + "' '" +
                  m_folder + "/i.pdf'"),
              0);
    std::string info;
    ASSERT_EQ(runCommand("pdfinfo -enc UTF-8 '" + m_folder + "/i.pdf'", &info), 0);
    EXPECT_NE(info.find("Title:           Maß (1) “ok” €\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Author:          A\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Keywords:        K\n"), std::string::npos) << info;
}

TEST_F(Txt2Pdf, HelpAndBadArguments)
{
    std::string usage;
    EXPECT_EQ(runCommand(Command + " --help", &usage), 0);
    EXPECT_TRUE(usage.starts_with("Usage: quorvale-txt2pdf")) << usage;
    EXPECT_EQ(run("only-one"), 2);
    EXPECT_TRUE(m_errors.starts_with("quorvale-txt2pdf: expected an INPUT and an OUTPUT file\nUsage:")) << m_errors;
    EXPECT_EQ(run("--size ten a b"), 2);
    EXPECT_TRUE(m_errors.starts_with("quorvale-txt2pdf: invalid value for --size: ten\n")) << m_errors;
    EXPECT_EQ(run("--page 8,5x11 a b"), 2);
    EXPECT_EQ(run("--colour red a b"), 2);
    EXPECT_EQ(run("a b --title"), 2);
}

TEST_F(Txt2Pdf, OptionsFollowTheGetoptConventions)
{
    ASSERT_EQ(run("--font=courier-bold --title --help --size=12 '" + DataSheet + "' '" + m_folder + "/f.pdf'"), 0);
    const std::string pdf = readFile(m_folder + "/f.pdf");
    EXPECT_NE(pdf.find("\r/BaseFont /Courier-Bold\r"), std::string::npos);
    EXPECT_NE(pdf.find("\r/Title (--help)\r"), std::string::npos);
    EXPECT_NE(pdf.find("\r/F1 12 Tf\r"), std::string::npos);

    writeFile(m_folder + "/-h", "a file named -h\n");
    ASSERT_EQ(runCommand("cd '" + m_folder + "' && " + Command + " -- -h dash.pdf"), 0);
    EXPECT_EQ(rows(m_folder + "/dash.pdf"), (std::vector<std::vector<std::string>>{{"a file named -h"}}));

    std::string out;
    EXPECT_EQ(runCommand(Command + " --version", &out), 0);
    EXPECT_EQ(out, "quorvale-txt2pdf 1.0\n");
    EXPECT_EQ(runCommand(Command + " -h", &out), 0);
    for (const char* option : {"--font=NAME", "--size=PT", "--rotation=DEG", "--page=SIZE", "--encoding=ENC",
                               "--line-ends=ENDS", "--tab-size=N", "--trim=WHICH", "--author=TEXT", "--title=TEXT",
                               "--help", "--version", "SOURCE_DATE_EPOCH", "Exit status"})
        EXPECT_NE(out.find(option), std::string::npos) << option;
    EXPECT_EQ(run("--font"), 2);
    EXPECT_TRUE(m_errors.starts_with("quorvale-txt2pdf: option --font needs a value\nUsage:")) << m_errors;
    EXPECT_EQ(run("-x a b"), 2);
    EXPECT_TRUE(m_errors.starts_with("quorvale-txt2pdf: unknown option -x\n")) << m_errors;
}

TEST_F(Txt2Pdf, RefusedValuesDeleteAndWriteNothing)
{
    const std::string output = m_folder + "/out.pdf";
    writeFile(output, "older");
    for (const std::string options :
         {"--font Courier-Narrow", "--rotation 45", "--rotation 360", "--rotation -90", "--tab-size -1", "--tab-size x",
          "--tab-size 65", "--size 0", "--size 2000", "--page 0x1", "--page 8.5x201", "--encoding latin1",
          "--line-ends lf", "--trim leading"}) {
        EXPECT_EQ(run(options + " '" + DataSheet + "' '" + output + "'"), 2) << options;
        EXPECT_EQ(readFile(output), "older");
    }
    // An empty name is refused before anything is read.
    EXPECT_EQ(run("'" + DataSheet + "' ''"), 2);
    EXPECT_TRUE(m_errors.starts_with("quorvale-txt2pdf: an empty name names no file\n")) << m_errors;
    EXPECT_EQ(run("'' '" + output + "'"), 2);
    EXPECT_EQ(readFile(output), "older");
    EXPECT_EQ(run("--font Courier-Narrow a b"), 2);
    EXPECT_TRUE(m_errors.starts_with("quorvale-txt2pdf: unknown font Courier-Narrow; use Courier, Courier-Bold,"))
        << m_errors;
    for (const std::string epoch : {"-1", "1.5", "", "abc", "99999999999999999999", "253402300800"}) {
        EXPECT_EQ(run("'" + DataSheet + "' '" + output + "'", "SOURCE_DATE_EPOCH='" + epoch + "' "), 2) << epoch;
        EXPECT_TRUE(m_errors.starts_with("quorvale-txt2pdf: SOURCE_DATE_EPOCH must be a whole number")) << m_errors;
        EXPECT_EQ(readFile(output), "older");
    }
}

TEST_F(Txt2Pdf, SourceDateEpochAndStandardStreamsGiveTheSameBytes)
{
    const std::string options = "--encoding windows-1252 --line-ends cr --tab-size 0 --trim both ";
    const std::string golden = readFile(Golden + "datasheet-default.pdf");
    ASSERT_EQ(run(options + "'" + DataSheet + "' '" + m_folder + "/a.pdf'", Epoch), 0);
    EXPECT_EQ(readFile(m_folder + "/a.pdf"), golden);
    // Standard input from a pipe and from a file, standard output to a file.
    ASSERT_EQ(
        runCommand("cat '" + DataSheet + "' | " + Epoch + Command + " " + options + "- - >'" + m_folder + "/b.pdf'"),
        0);
    EXPECT_EQ(readFile(m_folder + "/b.pdf"), golden);
    ASSERT_EQ(runCommand(Epoch + Command + " " + options + "- '" + m_folder + "/c.pdf' <'" + DataSheet + "'"), 0);
    EXPECT_EQ(readFile(m_folder + "/c.pdf"), golden);
    EXPECT_NE(runCommand("cat '" + DataSheet + "' | " + Command + " - /dev/full"), 0);
    EXPECT_NE(runCommand(Command + " '" + DataSheet + "' - >/dev/full"), 0);
}

TEST_F(Txt2Pdf, LinuxTextReadsAsWrittenAndTheWizardsReadingStaysAvailable)
{
    writeFile(m_folder + "/linux.txt", "\xEF\xBB\xBF\xC3\x98 \xC2\xB1"
                                       "0.02\n\tindented  \n\nend");
    ASSERT_EQ(run("'" + m_folder + "/linux.txt' '" + m_folder + "/linux.pdf'"), 0);
    EXPECT_EQ(m_errors, "");
    EXPECT_EQ(rows(m_folder + "/linux.pdf"), (std::vector<std::vector<std::string>>{{"\xD8 \xB1"
                                                                                     "0.02",
                                                                                     "        indented", "", "end"}}));

    // Embedded fonts show the arrows and the infinity; no installed font has the private-use characters.
    writeFile(m_folder + "/arrows.txt", "ok\r\nab\xE2\x86\x92"
                                        "c\xE2\x86\x92\xE2\x88\x9E\xF4\x8F\xBF\xBD\xF4\x8F\xBF\xBD\r\n");
    ASSERT_EQ(run("'" + m_folder + "/arrows.txt' '" + m_folder + "/arrows.pdf'"), 0);
    EXPECT_EQ(m_errors, "quorvale-txt2pdf: 2 characters are in no installed font and were written as '?' (first at "
                        "line 2, column 7)\n");
    std::string text;
    ASSERT_EQ(runCommand("pdftotext -enc UTF-8 '" + m_folder + "/arrows.pdf' -", &text), 0);
    EXPECT_EQ(text.substr(0, text.find("\n\n")), "ok\nab\xE2\x86\x92"
                                                 "c\xE2\x86\x92\xE2\x88\x9E??");
    writeFile(m_folder + "/one.txt", "\xF4\x8F\xBF\xBD");
    ASSERT_EQ(run("--encoding utf-8 '" + m_folder + "/one.txt' '" + m_folder + "/one.pdf'"), 0);
    EXPECT_EQ(m_errors, "quorvale-txt2pdf: 1 character is in no installed font and was written as '?' (at line 1, "
                        "column 1)\n");
    writeFile(m_folder + "/hebrew.txt", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D");
    ASSERT_EQ(run("'" + m_folder + "/hebrew.txt' '" + m_folder + "/hebrew.pdf'"), 0);
    EXPECT_EQ(m_errors,
              "quorvale-txt2pdf: Hebrew text is shown left to right: right-to-left scripts are not yet supported\n");

    // Without --tab-size 0, the command gives the output window's document.
    quorvale::PdfWriter writer([] { return std::string("20030312101500"); });
    ASSERT_TRUE(writer.ConvertToPDF(quorvale::PdfJob(DataSheet, m_folder + "/wizard.pdf", {}, {})));
    ASSERT_EQ(
        run("--encoding windows-1252 --line-ends cr --trim both '" + DataSheet + "' '" + m_folder + "/command.pdf'",
            Epoch),
        0);
    EXPECT_EQ(readFile(m_folder + "/command.pdf"), readFile(m_folder + "/wizard.pdf"));
}

TEST_F(Txt2Pdf, InputThatIsNoRegularFileIsRefusedAtOnce)
{
    const std::string fifo = m_folder + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(run("'" + fifo + "' '" + m_folder + "/out.pdf'"), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(m_errors, "quorvale-txt2pdf: File '" + fifo + "' is not a regular file.\n");
    EXPECT_EQ(run("/dev/null '" + m_folder + "/out.pdf'"), 1);
    EXPECT_EQ(m_errors, "quorvale-txt2pdf: File '/dev/null' is not a regular file.\n");
    EXPECT_FALSE(std::filesystem::exists(m_folder + "/out.pdf"));
}

TEST_F(Txt2Pdf, RunningOutOfMemoryIsReportedAndLeavesNoFile)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#else
    // Two million pages need about 15 MiB for their offsets: more than a 14,000 KiB address space leaves.
    std::string pages;
    for (int page = 0; page < 2'000'000; ++page)
        pages += "\f\n";
    writeFile(m_folder + "/pages.txt", pages);
    std::string errors;
    EXPECT_EQ(
        runCommand("ulimit -v 14000; " + Command + " '" + m_folder + "/pages.txt' '" + m_folder + "/out.pdf' 2>&1",
                   &errors),
        1);
    EXPECT_EQ(errors, "quorvale-txt2pdf: There is not enough memory to convert '" + m_folder + "/pages.txt'.\n");
    EXPECT_FALSE(std::filesystem::exists(m_folder + "/out.pdf"));
#endif
}

// Failures of the file system, through the command too, are in tests/robust/faults_test.cpp.
TEST_F(Txt2Pdf, RefusedParametersExitNonZeroWithTheMessageAndLeaveNoFile)
{
    EXPECT_EQ(run("--size 0 '" + DataSheet + "' '" + m_folder + "/out.pdf'"), 2);
    EXPECT_TRUE(m_errors.starts_with("quorvale-txt2pdf: invalid value for --size: 0\n")) << m_errors;
    EXPECT_FALSE(std::filesystem::exists(m_folder + "/out.pdf"));
}

// Standard streams as they come from a shell: closed, appending to the input, or named by a
// descriptor's path, which is written as "-" is and never renamed over.
TEST_F(Txt2Pdf, StandardStreamsAndDescriptorNamesNeverDestroyAnotherFile)
{
    const std::string in = m_folder + "/in.txt";
    writeFile(in, "Part Number : 4711\n");
    std::string said;
    const auto saying = [&said](const std::string& command) { // its exit status; said, what it wrote
        said.clear();
        return runCommand("exec 2>&1; " + command, &said);
    };
    EXPECT_EQ(saying(Command + " - - >/dev/null <&-"), 1);
    EXPECT_EQ(said, "quorvale-txt2pdf: Cannot read standard input: Bad file descriptor\n");
    EXPECT_EQ(saying(Command + " '" + in + "' - >&-"), 1);
    EXPECT_EQ(said, "quorvale-txt2pdf: Cannot write standard output: Bad file descriptor\n");

    for (const std::string& input : {"'" + in + "'", std::string("- <'" + in + "'")}) {
        EXPECT_EQ(runCommand("timeout 10 " + Command + " " + input + " - >>'" + in + "' 2>'" + m_folder + "/err'"), 1);
        EXPECT_EQ(readFile(m_folder + "/err"),
                  "quorvale-txt2pdf: The PDF file (standard output) is the text file being converted.\n");
        EXPECT_EQ(readFile(in), "Part Number : 4711\n");
    }
    EXPECT_EQ(runCommand(Command + " '" + in + "' /dev/stdout >>'" + in + "' 2>/dev/null"), 1);
    EXPECT_EQ(readFile(in), "Part Number : 4711\n");

    const std::string log = m_folder + "/log.txt";
    for (const std::string name : {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1", "/dev/fd/3"}) {
        writeFile(log, "log\n");
        const std::string redirect = name == "/dev/fd/3" ? " 3>>'" + log + "'" : " >>'" + log + "'";
        ASSERT_EQ(runCommand(Epoch + Command + " '" + in + "' " + name + redirect), 0) << name;
        const std::string written = readFile(log);
        EXPECT_TRUE(written.starts_with("log\n%PDF-1.2\r")) << name;
        EXPECT_TRUE(quorvale::test::checkStructure(written.substr(4))) << name;
        EXPECT_EQ(quorvale::test::namesIn(m_folder), (std::set<std::string>{"err", "in.txt", "log.txt"})) << name;
    }
    EXPECT_EQ(saying(Command + " '" + in + "' /dev/fd/9"), 1);
    EXPECT_EQ(said, "quorvale-txt2pdf: Cannot write '/dev/fd/9': Bad file descriptor\n");
}

} // namespace

namespace {

// What a reader finds on the pages, without line ends, page breaks or the page number.
std::string shownText(const std::string& pdf)
{
    std::string text;
    EXPECT_EQ(runCommand("pdftotext -nopgbrk '" + pdf + "' -", &text), 0);
    std::erase_if(text, [](char c) { return c == '\n' || c == '\f'; });
    return text;
}

TEST_F(Txt2Pdf, LongRowsOfAProportionalFontStayOnThePage)
{
    const std::string capitals(300, 'W');
    writeFile(m_folder + "/capitals.txt", capitals + "\n");
    ASSERT_EQ(run("--size=14 '" + m_folder + "/capitals.txt' '" + m_folder + "/capitals.pdf'"), 0);
    EXPECT_EQ(shownText(m_folder + "/capitals.pdf"), capitals + "1");
}

} // namespace

namespace {

TEST_F(Txt2Pdf, PapersByNameOrInMillimetres)
{
    writeFile(m_folder + "/in.txt", "x\n");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"A4", "595 842"},     {"a4", "595 842"},        {"Letter", "612 792"},
        {"Legal", "612 1008"}, {"210x297mm", "595 842"}, {"8.5x11", "612 792"},
    };
    for (const auto& [page, mediaBox] : cases) {
        ASSERT_EQ(run("--page " + page + " '" + m_folder + "/in.txt' '" + m_folder + "/out.pdf'"), 0) << page;
        EXPECT_NE(readFile(m_folder + "/out.pdf").find("/MediaBox [ 0 0 " + mediaBox + " ]"), std::string::npos)
            << page;
    }
    EXPECT_EQ(run("--page A5 '" + m_folder + "/in.txt' '" + m_folder + "/out.pdf'"), 2);
    EXPECT_EQ(run("--page 210x297cm '" + m_folder + "/in.txt' '" + m_folder + "/out.pdf'"), 2);
}

} // namespace
