// What an independent reader finds in the saved workbook, and how a failed save ends.
#include "childprocess.h"
#include "filesizelimit.h"
#include "replacefile.h"
#include "runchartworkbook.h"
#include "unwritableplaces.h"
#include "workbookreader.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

namespace quorvale {
namespace {

using test::ReadWorkbook;

struct ExpectedReading {
    int hour24;
    int minute;
    double tolerance;
};

// The readings as a spreadsheet holds them once typed in.
constexpr ExpectedReading Expected[] = {
    {13, 20, 0.02}, {13, 40, 0.04}, {14, 0, 0.01},  {14, 20, 0.04}, {14, 40, 0.12}, {15, 0, 0.08},  {15, 20, 0.01},
    {15, 40, 0.14}, {16, 0, 0.06},  {16, 20, 0.04}, {16, 40, 0.08}, {17, 0, 0.02},  {18, 20, 0.04}, {19, 40, 0.08},
};

const QString Url = QStringLiteral("http://www.quorvale.example/runchart");
const QString HeaderFill = QStringLiteral("FF00CCFF");
const QString ReadingFill = QStringLiteral("FFFFCC00");
const QString Red = QStringLiteral("FFFF0000");

class RunChartWorkbook : public testing::Test {
protected:
    std::string path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)).toStdString(); }

    QJsonObject written(const WorkbookProperties& properties = {"T", "S", "A", "K", "C"})
    {
        const std::string file = path("runchart.xls");
        const Result result = WriteRunChartWorkbook(file, properties);
        EXPECT_TRUE(result) << result.reason;
        return ReadWorkbook(file);
    }

    QTemporaryDir m_dir;
};

void expectFilled(const QJsonObject& cell, const QString& rgb)
{
    EXPECT_EQ(cell["fill_type"].toString(), "solid");
    EXPECT_EQ(cell["fill_rgb"].toString(), rgb);
}

TEST_F(RunChartWorkbook, HoldsTheReadingsAsTimesAndNumbersWithTheirFills)
{
    const QJsonObject cells = written()["cells"].toObject();
    EXPECT_EQ(cells["A2"]["value"].toString(), "Date/Time");
    EXPECT_EQ(cells["B2"]["value"].toString(), "Tolerance");
    for (const char* header : {"A2", "B2"}) {
        EXPECT_EQ(cells[header]["type"].toString(), "str");
        expectFilled(cells[header].toObject(), HeaderFill);
    }

    int row = 3;
    for (const ExpectedReading& reading : Expected) {
        SCOPED_TRACE(row);
        const QJsonObject time = cells[QStringLiteral("A%1").arg(row)].toObject();
        const QJsonObject tolerance = cells[QStringLiteral("B%1").arg(row)].toObject();
        ++row;

        EXPECT_EQ(time["type"].toString(), "time");
        EXPECT_EQ(time["value"].toString(),
                  QStringLiteral("%1:%2:00").arg(reading.hour24).arg(reading.minute, 2, 10, QLatin1Char('0')));
        EXPECT_DOUBLE_EQ(time["raw"].toString().toDouble(), (reading.hour24 * 60 + reading.minute) / 1440.0);
        EXPECT_EQ(time["number_format"].toString(), "h:mm AM/PM");
        expectFilled(time, ReadingFill);

        EXPECT_EQ(tolerance["type"].toString(), "float");
        EXPECT_DOUBLE_EQ(tolerance["value"].toDouble(), reading.tolerance);
        expectFilled(tolerance, ReadingFill);
    }
}

TEST_F(RunChartWorkbook, HoldsTheCaptionAndTheLinkAndNothingElse)
{
    const QJsonObject workbook = written();
    const QJsonObject cells = workbook["cells"].toObject();

    EXPECT_EQ(cells["F4"]["value"].toString(), "Quorvale Demo ");
    EXPECT_EQ(cells["F6"]["value"].toString(), Url);
    EXPECT_EQ(workbook["hyperlinks"].toObject(), QJsonObject({{"F6", Url}}));
    for (const char* cell : {"F4", "F5", "F6"})
        EXPECT_TRUE(cells[cell]["bold"].toBool()) << cell;
    EXPECT_EQ(cells["F4"]["font_rgb"].toString(), Red);
    EXPECT_EQ(cells["F6"]["font_rgb"].toString(), Red);
    EXPECT_TRUE(cells["F5"]["value"].isNull());

    std::set<QString> expected{"F4", "F6"};
    for (int row = 2; row <= 16; ++row) {
        expected.insert(QStringLiteral("A%1").arg(row));
        expected.insert(QStringLiteral("B%1").arg(row));
    }
    std::set<QString> nonEmpty;
    for (const QJsonValue cell : workbook["non_empty"].toArray())
        nonEmpty.insert(cell.toString());
    EXPECT_EQ(nonEmpty, expected);
    EXPECT_EQ(workbook["sheets"].toArray(), QJsonArray({"Sheet1"}));
}

TEST_F(RunChartWorkbook, EmbedsTheLineChartBesideTheCells)
{
    const QJsonObject workbook = written();
    const QJsonArray embedded = workbook["embedded_charts"].toArray();
    ASSERT_EQ(embedded.size(), 1);
    EXPECT_EQ(embedded[0]["kind"].toString(), "LineChart");

    // Zero-based columns and rows; the chart must cover neither A2:B16 nor F4:F6.
    const auto covers = [&](int column, int row) {
        const QJsonArray from = embedded[0]["from"].toArray();
        const QJsonArray to = embedded[0]["to"].toArray();
        return from[0].toInt() <= column && column <= to[0].toInt() && from[1].toInt() <= row && row <= to[1].toInt();
    };
    for (int row = 1; row <= 15; ++row) {
        EXPECT_FALSE(covers(0, row) || covers(1, row)) << "row " << row + 1;
        EXPECT_FALSE(row >= 3 && row <= 5 && covers(5, row)) << "F" << row + 1;
    }

    ASSERT_EQ(workbook["charts"].toArray().size(), 1);
    const QJsonObject chart = workbook["charts"][0].toObject();
    EXPECT_EQ(chart["plot_types"].toArray(), QJsonArray({"lineChart"}));
    EXPECT_TRUE(chart["markers_shown"].toBool());
    ASSERT_EQ(chart["series"].toArray().size(), 1);
    const QJsonObject series = chart["series"][0].toObject();
    EXPECT_EQ(series["categories"].toString(), "Sheet1!$A$3:$A$16");
    EXPECT_EQ(series["values"].toString(), "Sheet1!$B$3:$B$16");
    EXPECT_EQ(series["name"].toString(), "Tolerance"); // what a reader's legend shows
    EXPECT_FALSE(series["marker"].isNull());
    EXPECT_NE(series["marker"].toString(), "none");

    EXPECT_EQ(chart["title"].toString(), "Quorvale Demo - www.quorvale.example-runchart");
    EXPECT_FALSE(chart["data_table"].toBool());
    const QJsonObject categoryAxis = chart["category_axis"].toObject();
    const QJsonObject valueAxis = chart["value_axis"].toObject();
    EXPECT_EQ(categoryAxis["title"].toString(), "Date/Time");
    EXPECT_EQ(valueAxis["title"].toString(), "Tolerance");
    EXPECT_EQ(categoryAxis["number_format"].toString(), "h:mm AM/PM");
    for (const QJsonObject& axis : {categoryAxis, valueAxis}) {
        EXPECT_TRUE(axis["major_gridlines"].toBool());
        EXPECT_FALSE(axis["minor_gridlines"].toBool());
        EXPECT_FALSE(axis["deleted"].toBool());
    }
}

TEST_F(RunChartWorkbook, KeepsTheFivePropertiesUnchanged)
{
    const QJsonObject given =
        written({"Run Chart", "Line 4 – Prüfung", "Łukasz Öberg", "run, chart", "Comments\nnext"})["properties"]
            .toObject();
    EXPECT_EQ(given, QJsonObject({{"title", "Run Chart"},
                                  {"subject", QString::fromUtf8("Line 4 – Prüfung")},
                                  {"author", QString::fromUtf8("Łukasz Öberg")},
                                  {"keywords", "run, chart"},
                                  {"comments", "Comments\nnext"}}));

    const QJsonObject empty = written({})["properties"].toObject();
    EXPECT_EQ(empty, QJsonObject({{"title", ""}, {"subject", ""}, {"author", ""}, {"keywords", ""}, {"comments", ""}}));
}

// A pasted control character would make readers refuse the whole file; the reader here is strict XML.
TEST_F(RunChartWorkbook, CharactersXmlCannotHoldBecomeQuestionMarks)
{
    const QJsonObject workbook =
        written({"Tab\tkept", "V\vT", "bad \xff byte", std::string("\x01\0\x1f", 3), "Line\nnext \uFFFE"});
    EXPECT_EQ(workbook["properties"].toObject(), QJsonObject({{"title", "Tab\tkept"},
                                                              {"subject", "V?T"},
                                                              {"author", "bad ? byte"},
                                                              {"keywords", "???"},
                                                              {"comments", "Line\nnext ?"}}));
    // The cells are read back as ever.
    EXPECT_EQ(workbook["cells"].toObject()["F4"].toObject()["value"].toString(), "Quorvale Demo ");
}

// A path through a regular file, a directory in the file's place, a missing folder, a full device.
TEST_F(RunChartWorkbook, FailsWhereNoFileCanBeWrittenAndLeavesThePlaceAlone)
{
    for (const test::UnwritablePlace& place : test::unwritablePlaces(m_dir.path().toStdString())) {
        const Result result = WriteRunChartWorkbook(place.path, {});
        EXPECT_FALSE(result) << place.path;
        EXPECT_NE(result.error, WorkbookNotStarted());
        EXPECT_FALSE(result.reason.empty());
        EXPECT_TRUE(test::leftAlone(place));
    }
}

// The save breaks off at the file-size limit: the partial workbook must not stay behind.
TEST_F(RunChartWorkbook, ASaveThatBreaksOffLeavesNoPartialFile)
{
    const std::string file = path("runchart.xls");
    EXPECT_TRUE(test::HoldsUnderFileSizeLimit(2048, [&] {
        const Result limited = WriteRunChartWorkbook(file, {});
        return !limited && limited.error != WorkbookNotStarted();
    })) << "the save did not report the failure";
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(RunChartWorkbook, ALinkStaysALinkAndItsFileReceivesTheWorkbook)
{
    std::filesystem::create_directory(path("runs"));
    std::ofstream(path("runs/bracket.xls")) << "an older file";
    std::filesystem::create_symlink("runs/bracket.xls", path("link.xls"));
    ASSERT_TRUE(WriteRunChartWorkbook(path("link.xls"), {}));
    EXPECT_TRUE(std::filesystem::is_symlink(path("link.xls")));
    EXPECT_EQ(ReadWorkbook(path("runs/bracket.xls"))["sheets"].toArray(), QJsonArray({"Sheet1"}));
}

// A child saving over and over is ended by each signal wherever it has got to: the name always
// holds a complete workbook, and no temporary file stays behind.
TEST_F(RunChartWorkbook, ASignalDuringASaveLeavesACompleteWorkbook)
{
    const std::string file = path("runchart.xls");
    ASSERT_TRUE(WriteRunChartWorkbook(file, {}));
    // The library's own scratch files go where the test can clear them up: a signal between their
    // creation and unlinking would leave one in the system's folder.
    const std::string scratch = path("scratch");
    std::filesystem::create_directory(scratch);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        const pid_t child = test::StartChild([&] {
            ::setenv("TMPDIR", scratch.c_str(), 1);
            SetUpOutputSignals();
            for (;;)
                WriteRunChartWorkbook(file, {});
        });
        ASSERT_NE(child, -1);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ::kill(child, signal);
        EXPECT_TRUE(test::EndedBy(test::WaitFor(child), signal));
        EXPECT_EQ(ReadWorkbook(file)["sheets"].toArray(), QJsonArray({"Sheet1"}));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.path().toStdString()), {}), 2);
    }
}

} // namespace
} // namespace quorvale
