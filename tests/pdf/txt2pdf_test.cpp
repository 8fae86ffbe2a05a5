// The quorvale-txt2pdf command: options, exit status, messages, and no partial output.
#include "pdftestsupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace {

using quorvale::test::readFile;
using quorvale::test::runCommand;

const std::string Command = std::string(QUORVALE_BIN_DIR) + "/quorvale-txt2pdf";
const std::string Golden = std::string(QUORVALE_TEST_DATA) + "/golden/";
const std::string DataSheet = std::string(QUORVALE_TEST_DATA) + "/../base/golden/default-datasheet.txt";

class Txt2Pdf : public ::testing::Test {
protected:
    // Runs the command with its standard error captured into m_errors.
    int run(const std::string& arguments)
    {
        const int status = runCommand(Command + " " + arguments + " 2>'" + m_folder + "/err' >/dev/null");
        m_errors = readFile(m_folder + "/err");
        return status;
    }
    // The PDF without its creation time, which comes from the clock.
    static std::string withoutTimestamp(const std::string& pdf)
    {
        return std::regex_replace(pdf, std::regex("D:[0-9]{14}"), "D:20030312101500");
    }

    quorvale::test::TempDir m_dir;
    std::string m_folder = m_dir.path();
    std::string m_errors;
};

TEST_F(Txt2Pdf, DefaultsAndOptionsGiveTheOutputWindowsDocuments)
{
    ASSERT_EQ(run("'" + DataSheet + "' '" + m_folder + "/a.pdf'"), 0);
    EXPECT_EQ(withoutTimestamp(readFile(m_folder + "/a.pdf")), readFile(Golden + "datasheet-default.pdf"));
    ASSERT_EQ(run("--font Courier --size 20 --rotation 90 --page 8.5x14 '" + DataSheet + "' '" + m_folder + "/b.pdf'"),
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
    EXPECT_TRUE(usage.starts_with("usage: quorvale-txt2pdf")) << usage;
    EXPECT_EQ(run("only-one"), 2);
    EXPECT_TRUE(m_errors.starts_with("quorvale-txt2pdf: expected an INPUT and an OUTPUT file\nusage:")) << m_errors;
    EXPECT_EQ(run("--size ten a b"), 2);
    EXPECT_TRUE(m_errors.starts_with("quorvale-txt2pdf: invalid value for --size: ten\n")) << m_errors;
    EXPECT_EQ(run("--page 8,5x11 a b"), 2);
    EXPECT_EQ(run("--colour red a b"), 2);
    EXPECT_EQ(run("a b --title"), 2);
}

// Failures of the file system, through the command too, are in tests/robust/faults_test.cpp.
TEST_F(Txt2Pdf, RefusedParametersExitNonZeroWithTheMessageAndLeaveNoFile)
{
    EXPECT_EQ(run("--size 0 '" + DataSheet + "' '" + m_folder + "/out.pdf'"), 1);
    EXPECT_EQ(m_errors, "quorvale-txt2pdf: The font size must be at least 1 point.\n");
    EXPECT_FALSE(std::filesystem::exists(m_folder + "/out.pdf"));
}

} // namespace
