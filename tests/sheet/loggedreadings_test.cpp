// The workbook for readings logged in the grid: every cell of the worked example, the summary
// without numeric limits, and the untouched record still giving the sample workbook.
#include "readingof.h"
#include "runchartworkbook.h"
#include "workbookreader.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <optional>
#include <set>

namespace quorvale {
namespace {

using test::ReadWorkbook;

const QString HeaderFill = QStringLiteral("FF00CCFF");
const QString ReadingFill = QStringLiteral("FFFFCC00");
const QString Red = QStringLiteral("FFFF0000");

constexpr std::int64_t Day = 1796601600; // 2026-12-07 00:00 UTC
// 2026-12-07 as a spreadsheet counts days: from 1899-12-30.
constexpr double SpreadsheetDay = 25569 + 1796601600 / 86400;

// The README's example: the default record (tolerances 0.02 and 0.02) and eight readings that
// climb out of tolerance at 10:00 AM.
RunChartRecord workedExample()
{
    RunChartRecord record = DefaultRunChartRecord();
    const char* values[] = {"0.004", "-0.006", "-0.002", "0.003", "0.009", "0.015", "0.022", "0.011"};
    for (int i = 0; i < 8; ++i)
        record.Readings.push_back(ReadingOf(Day + (7 * 60 + 30 * i) * 60 - 3600, 3600, values[i]));
    record.ReadingsAreDeviations = true;
    return record;
}

class LoggedReadings : public testing::Test {
protected:
    QJsonObject written(const RunChartRecord& record)
    {
        const std::string file = m_dir.filePath(QStringLiteral("runchart.xls")).toStdString();
        const Result result = WriteRunChartWorkbook(file, {"T", "S", "A", "K", "C"}, record);
        EXPECT_TRUE(result) << result.reason;
        return ReadWorkbook(file);
    }

    QTemporaryDir m_dir;
};

std::set<QString> nonEmpty(const QJsonObject& workbook)
{
    std::set<QString> cells;
    for (const QJsonValue cell : workbook["non_empty"].toArray())
        cells.insert(cell.toString());
    return cells;
}

// Neither a value nor a style: the reader lists no such cell.
bool isEmpty(const QJsonObject& cells, const char* cell)
{
    return !cells.contains(QLatin1String(cell)) || cells[QLatin1String(cell)]["value"].isNull();
}

void expectNumber(const QJsonObject& cells, const QString& cell, double value, const char* format = "General")
{
    SCOPED_TRACE(cell.toStdString());
    EXPECT_TRUE(cells[cell]["type"] == "float" || cells[cell]["type"] == "int");
    EXPECT_DOUBLE_EQ(cells[cell]["value"].toDouble(), value);
    EXPECT_EQ(cells[cell]["number_format"].toString(), format);
}

TEST_F(LoggedReadings, TheWorkedExampleCellByCell)
{
    const QJsonObject workbook = written(workedExample());
    const QJsonObject cells = workbook["cells"].toObject();

    const char* headings[] = {"Date/Time", "Deviation", "Upper Limit",     "Lower Limit",
                              "Median",    "Check",     "Out of Tolerance"};
    for (int column = 0; column < 7; ++column) {
        const QString cell = QChar('A' + column) + QStringLiteral("2");
        EXPECT_EQ(cells[cell]["value"].toString(), headings[column]);
        EXPECT_EQ(cells[cell]["fill_rgb"].toString(), HeaderFill) << cell.toStdString();
    }

    const double values[] = {0.004, -0.006, -0.002, 0.003, 0.009, 0.015, 0.022, 0.011};
    const double median = 0.0065;
    for (int i = 0; i < 8; ++i) {
        const QString row = QString::number(3 + i);
        SCOPED_TRACE(row.toStdString());
        const QJsonObject time = cells["A" + row].toObject();
        const int minutes = 7 * 60 + 30 * i;
        // The local date and time where each was logged, an hour east of UTC.
        EXPECT_EQ(time["type"].toString(), "datetime");
        EXPECT_DOUBLE_EQ(time["raw"].toString().toDouble(), SpreadsheetDay + minutes / 1440.0);
        EXPECT_EQ(time["number_format"].toString(), "yyyy-mm-dd hh:mm:ss");
        EXPECT_EQ(time["fill_rgb"].toString(), ReadingFill);

        // Each in the decimals of the run's limits, or its own where it has more; the median as the summary.
        expectNumber(cells, "B" + row, values[i], "0.000");
        EXPECT_EQ(cells["B" + row]["fill_rgb"].toString(), ReadingFill);
        // Only 0.022, at 10:00 AM, lies outside -0.02 to 0.02.
        const bool outside = i == 6;
        EXPECT_EQ(cells["B" + row]["bold"].toBool(), outside);
        EXPECT_EQ(cells["B" + row]["font_rgb"].toString(), outside ? Red : QString());

        expectNumber(cells, "C" + row, 0.02, "0.00");
        expectNumber(cells, "D" + row, -0.02, "0.00");
        expectNumber(cells, "E" + row, median, "0.0000");
        expectNumber(cells, "F" + row, 0, "0.00"); // deviations from Check
        if (outside)
            expectNumber(cells, "G" + row, 0.022, "0.000");
        else
            EXPECT_TRUE(isEmpty(cells, ("G" + row).toLatin1().constData()));
        // The natural process limits right of the summary: 0.007 ± 2.66 x 0.007.
        expectNumber(cells, "J" + row, 0.02562, "0.00000");
        expectNumber(cells, "K" + row, -0.01162, "0.00000");
    }
    EXPECT_EQ(cells["J2"]["value"].toString(), "UNPL");
    EXPECT_EQ(cells["K2"]["value"].toString(), "LNPL");

    EXPECT_EQ(cells["H4"]["value"].toString(), "Quorvale Demo ");
    EXPECT_EQ(cells["H6"]["value"].toString(), "http://www.quorvale.example/runchart");
    // The record, each label with its value right of it, as typed.
    const char* record[][2] = {
        {"Part #", "R24 G198"},
        {"Customer", "M/S Brenholt Consulting "},
        {"Description", "Mounting Bracket for End Connector Sub-Assembly"},
        {"Operation", "12"},
        {"Inspector", "SomeOne"},
        {"Inspection Date", "12 Mar 2003"},
        {"Check", "1.45"},
        {"Upper Tolerance", "0.02"},
        {"Lower Tolerance", "0.02"},
        {"Inspection Tool", "Calipers"},
    };
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(cells[QStringLiteral("H%1").arg(8 + i)]["value"].toString(), record[i][0]);
        EXPECT_EQ(cells[QStringLiteral("I%1").arg(8 + i)]["value"].toString(), record[i][1]);
    }
    const char* labels[] = {"Readings",
                            "Out of tolerance",
                            "Mean",
                            "Median",
                            "Sigma (within)",
                            "Sigma (overall)",
                            "Cp",
                            "Cpk",
                            "Pp",
                            "Ppk",
                            "Signals",
                            "Capability note",
                            "Cpk 95% interval",
                            "Ppk 95% interval",
                            "Expected ppm (within)",
                            "Expected ppm (overall)",
                            "UNPL",
                            "LNPL"};
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ(cells[QStringLiteral("H%1").arg(19 + i)]["value"].toString(), labels[i]);
    expectNumber(cells, "I19", 8);
    expectNumber(cells, "I20", 1);
    // Rounded as the PDF writes them; the cells keep the values.
    expectNumber(cells, "I21", 0.007, "0.00000");
    expectNumber(cells, "I22", median, "0.0000");
    // Moving ranges 0.010 0.004 0.005 0.006 0.006 0.007 0.011: sigma within 0.049 / 7 / 1.128; sigma overall
    // sqrt(584e-6 / 7). Cp 0.04 / (6 x 0.0062057), Cpk min(0.013, 0.027) / (3 x 0.0062057), Pp and Ppk alike.
    const double within = 0.049 / 7 / 1.128;
    const double overall = std::sqrt(584e-6 / 7);
    expectNumber(cells, "I23", within, "0.00000");
    expectNumber(cells, "I24", overall, "0.00000");
    expectNumber(cells, "I25", 0.04 / (6 * within), "0.00");
    expectNumber(cells, "I26", 0.013 / (3 * within), "0.00");
    expectNumber(cells, "I27", 0.04 / (6 * overall), "0.00");
    expectNumber(cells, "I28", 0.013 / (3 * overall), "0.00");
    EXPECT_NEAR(cells["I26"]["value"].toDouble(), 0.6983, 5e-5);
    EXPECT_NEAR(cells["I28"]["value"].toDouble(), 0.4744, 5e-5);
    EXPECT_EQ(cells["I29"]["value"].toString(), "Trend: readings 2-7 (07:30:00 to 10:00:00) rising");
    // Cpk 0.6983 ± 1.96 sqrt(1/72 + 0.6983² / 14), Ppk 0.4744 ± 1.96 sqrt(1/72 + 0.4744² / 14). Within,
    // 0.02 lies 2.0949 sigmas above the mean and -0.02 4.3509 below; overall 1.4233 and 2.9560.
    EXPECT_EQ(cells["I30"]["value"].toString(), "(fewer than 25 readings: a rough guide)");
    EXPECT_EQ(cells["I31"]["value"].toString(), "0.27 to 1.13");
    EXPECT_EQ(cells["I32"]["value"].toString(), "0.14 to 0.81");
    EXPECT_NEAR(cells["I33"]["value"].toDouble(), 18098.63, 0.01);
    EXPECT_NEAR(cells["I34"]["value"].toDouble(), 78887.81, 0.01);
    EXPECT_EQ(cells["I34"]["number_format"].toString(), "0.00");
    expectNumber(cells, "I35", 0.02562, "0.00000");
    expectNumber(cells, "I36", -0.01162, "0.00000");

    std::set<QString> expected{"H4", "H6", "G2", "G9"};
    for (int row = 8; row <= 36; ++row)
        if (row != 18)
            expected.insert({QStringLiteral("H%1").arg(row), QStringLiteral("I%1").arg(row)});
    for (int row = 2; row <= 10; ++row)
        for (const char column : {'A', 'B', 'C', 'D', 'E', 'F', 'J', 'K'})
            expected.insert(QStringLiteral("%1%2").arg(QChar(column)).arg(row));
    EXPECT_EQ(nonEmpty(workbook), expected);
}

TEST_F(LoggedReadings, TheChartDrawsTheReadingsAgainstTheirLimitsMedianCheckAndNaturalLimits)
{
    const QJsonObject workbook = written(workedExample());
    ASSERT_EQ(workbook["charts"].toArray().size(), 1);
    const QJsonObject chart = workbook["charts"][0].toObject();
    const QJsonArray series = chart["series"].toArray();
    ASSERT_EQ(series.size(), 8);
    const char* columns = "BCDEFGJK";
    const char* markers[] = {"diamond", "none", "none", "none", "none", "triangle", "none", "none"};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(series[i]["name"].toString(), QStringLiteral("Sheet1!$%1$2").arg(QChar(columns[i])));
        // By reading number: a date-and-time axis would draw a run of one day at one point.
        EXPECT_TRUE(series[i]["categories"].isNull());
        EXPECT_EQ(series[i]["values"].toString(), QStringLiteral("Sheet1!$%1$3:$%1$10").arg(QChar(columns[i])));
        EXPECT_EQ(series[i]["marker"].toString(), markers[i]);
    }
    EXPECT_EQ(chart["title"].toString(), "R24 G198 - Check 1.45");
    EXPECT_EQ(chart["category_axis"]["title"].toString(), "Reading number");
    EXPECT_EQ(chart["value_axis"]["title"].toString(), "Deviation");
    EXPECT_TRUE(chart["category_axis"]["major_gridlines"].toBool());
    EXPECT_TRUE(chart["value_axis"]["major_gridlines"].toBool());
    EXPECT_FALSE(chart["data_table"].toBool());

    // Right of the readings' columns and below the summary, however many readings there are.
    const QJsonArray from = workbook["embedded_charts"][0]["from"].toArray();
    EXPECT_EQ(from, QJsonArray({7, 37}));
}

TEST_F(LoggedReadings, SizesShowTheDecimalsAndUnitOfCheckAndAreChartedAgainstIt)
{
    RunChartRecord record = DefaultRunChartRecord();
    record.Check = "\u00D825.000 mm";
    record.UpperTolerance = "0.010";
    record.LowerTolerance = "0.010";
    const char* values[] = {"25.01", "25.0125", "24.989", "25"};
    for (int i = 0; i < 4; ++i)
        record.Readings.push_back(ReadingOf(Day + 60 * i, 0, values[i]));
    const QJsonObject workbook = written(record);
    const QJsonObject cells = workbook["cells"].toObject();

    EXPECT_EQ(cells["B2"]["value"].toString(), "Reading (mm)");
    EXPECT_EQ(workbook["charts"][0]["value_axis"]["title"].toString(), "Reading (mm)");
    // 25.01 shows as 25.010 beside a Check of 25.000; a reading typed finer keeps its digits.
    expectNumber(cells, "B3", 25.01, "0.000");
    expectNumber(cells, "B4", 25.0125, "0.0000");
    expectNumber(cells, "B5", 24.989, "0.000");
    expectNumber(cells, "B6", 25, "0.000");
    expectNumber(cells, "C3", 25.01, "0.000");
    expectNumber(cells, "D6", 24.99, "0.000");
    expectNumber(cells, "F4", 25, "0.000");
    // Both out of tolerance once more in their own column, the others' cells empty.
    expectNumber(cells, "G4", 25.0125, "0.0000");
    expectNumber(cells, "G5", 24.989, "0.000");
    EXPECT_TRUE(isEmpty(cells, "G3"));
    EXPECT_TRUE(isEmpty(cells, "G6"));

    const QJsonArray series = workbook["charts"][0]["series"].toArray();
    ASSERT_EQ(series.size(), 8);
    EXPECT_EQ(series[4]["name"].toString(), "Sheet1!$F$2");
    EXPECT_EQ(series[4]["values"].toString(), "Sheet1!$F$3:$F$6");
    EXPECT_EQ(series[5]["name"].toString(), "Sheet1!$G$2");
    EXPECT_EQ(series[5]["values"].toString(), "Sheet1!$G$3:$G$6");
    EXPECT_EQ(series[5]["marker"].toString(), "triangle");
    EXPECT_EQ(series[5]["marker_fill"].toString(), "FF0000");
    EXPECT_TRUE(series[5]["line_hidden"].toBool());
    EXPECT_FALSE(series[0]["line_hidden"].toBool());
}

TEST_F(LoggedReadings, WithoutNumericLimitsOnlyTheMedianIsCharted)
{
    RunChartRecord record = workedExample();
    record.UpperTolerance = "+/- 0.02";
    const QJsonObject workbook = written(record);
    const QJsonObject cells = workbook["cells"].toObject();

    for (const char* cell :
         {"C2", "D2", "C3", "D10", "G2", "G9", "I20", "I25", "I26", "I27", "I28", "I30", "I31", "I32", "I33", "I34"})
        EXPECT_TRUE(isEmpty(cells, cell)) << cell;
    EXPECT_EQ(cells["E2"]["value"].toString(), "Median");
    expectNumber(cells, "I19", 8);
    expectNumber(cells, "I22", 0.0065, "0.0000");
    // Nothing is out of tolerance without limits.
    EXPECT_FALSE(cells["B9"]["bold"].toBool());
    const QJsonArray series = workbook["charts"][0]["series"].toArray();
    ASSERT_EQ(series.size(), 5);
    EXPECT_EQ(series[1]["name"].toString(), "Sheet1!$E$2");
    EXPECT_EQ(series[2]["name"].toString(), "Sheet1!$F$2");
    EXPECT_EQ(series[3]["name"].toString(), "Sheet1!$J$2");
}

TEST_F(LoggedReadings, OneReadingHasNoCpkAndNoSignals)
{
    RunChartRecord record = DefaultRunChartRecord();
    record.Readings = {ReadingOf((13 * 60 + 20) * 60, 0, "+0.01")};
    record.ReadingsAreDeviations = true;
    const QJsonObject cells = written(record)["cells"].toObject();
    expectNumber(cells, "B3", 0.01, "0.00");
    expectNumber(cells, "I19", 1);
    expectNumber(cells, "I20", 0);
    expectNumber(cells, "I22", 0.01, "0.000");
    for (const char* cell : {"I23", "I24", "I25", "I26", "I27", "I28"})
        EXPECT_TRUE(isEmpty(cells, cell)) << cell;
    EXPECT_EQ(cells["I29"]["value"].toString(), "None");
}

TEST_F(LoggedReadings, ARecordWithoutReadingsGivesTheSampleWorkbook)
{
    EXPECT_EQ(written(DefaultRunChartRecord()), written({}));
    EXPECT_TRUE(isEmpty(written(DefaultRunChartRecord())["cells"].toObject(), "C2"));
}

TEST_F(LoggedReadings, AReadingOnALimitIsWithinIt)
{
    // 12.7 + 0.1 and 2.35 - 0.05 are no exact binary numbers; the readings on them are within.
    RunChartRecord record = DefaultRunChartRecord();
    record.Check = "12.7";
    record.UpperTolerance = "0.1";
    record.LowerTolerance = "0.1";
    record.Readings = {ReadingOf(0, 0, "12.8"), ReadingOf(1, 0, "12.6"), ReadingOf(2, 0, "12.81")};
    const QJsonObject cells = written(record)["cells"].toObject();
    EXPECT_FALSE(cells["B3"]["bold"].toBool());
    EXPECT_FALSE(cells["B4"]["bold"].toBool());
    EXPECT_TRUE(cells["B5"]["bold"].toBool());
    expectNumber(cells, "I20", 1);
    record.Check = "2.35";
    record.UpperTolerance = "0.05";
    record.LowerTolerance = "0.05";
    record.Readings = {ReadingOf(0, 0, "2.30"), ReadingOf(1, 0, "2.40")};
    const QJsonObject below = written(record)["cells"].toObject();
    EXPECT_FALSE(below["B3"]["bold"].toBool());
    expectNumber(below, "I20", 0);
}

// Every number the file holds is written with a point and is finite, as spreadsheet programs read it.
void expectPlainNumbers(const QJsonObject& cells)
{
    for (auto cell = cells.begin(); cell != cells.end(); ++cell) {
        const QJsonObject found = cell.value().toObject();
        if (found["type"].toString() == "str" || found["raw"].isNull())
            continue;
        bool ok = false;
        const double value = found["raw"].toString().toDouble(&ok);
        EXPECT_TRUE(ok && std::isfinite(value))
            << cell.key().toStdString() << " holds " << found["raw"].toString().toStdString();
    }
}

// Saving under a locale whose decimal mark is a comma; skipped where that locale is not installed.
class CommaLocale {
public:
    CommaLocale() : m_previous(std::setlocale(LC_ALL, nullptr)), m_set(std::setlocale(LC_ALL, "de_DE.UTF-8")) {}
    ~CommaLocale() { std::setlocale(LC_ALL, m_previous.c_str()); }
    explicit operator bool() const { return m_set; }

private:
    std::string m_previous;
    bool m_set;
};

TEST_F(LoggedReadings, NumbersHaveAPointUnderACommaDecimalLocale)
{
    std::optional<QJsonObject> workbook;
    {
        const CommaLocale german;
        if (!german)
            GTEST_SKIP() << "de_DE.UTF-8 is not installed (scripts/setup.sh makes it)";
        char decimal[8];
        std::snprintf(decimal, sizeof decimal, "%.1f", 0.5);
        ASSERT_STREQ(decimal, "0,5");
        const std::string file = m_dir.filePath(QStringLiteral("komma.xls")).toStdString();
        ASSERT_TRUE(WriteRunChartWorkbook(file, {}, workedExample()));
        // The program's own numbers are the user's again once the save is done.
        std::snprintf(decimal, sizeof decimal, "%.1f", 0.5);
        EXPECT_STREQ(decimal, "0,5");
        workbook = ReadWorkbook(file);
    }
    const QJsonObject cells = (*workbook)["cells"].toObject();
    expectPlainNumbers(cells);
    expectNumber(cells, "B3", 0.004, "0.000");
    expectNumber(cells, "I21", 0.007, "0.00000");
    EXPECT_NEAR(cells["I28"]["value"].toDouble(), 0.4744, 5e-5);
}

TEST_F(LoggedReadings, TheLargestReadingsGiveNoInfinityAndNoNaN)
{
    RunChartRecord record = workedExample();
    for (const char* extreme : {"1000000000", "999999999.999"}) {
        // The largest the grid takes, then values only a store or a command could hand in.
        record.Readings = {};
        for (int i = 0; i < 8; ++i)
            record.Readings.push_back(ReadingOf(Day + i, 0, i % 3 ? extreme : "-1000000000"));
        const QJsonObject cells = written(record)["cells"].toObject();
        expectPlainNumbers(cells);
        EXPECT_TRUE(cells["I28"]["type"] == "float") << extreme;
    }
    // The largest a decimal holds: every figure is still a number.
    const std::string huge(Decimal::MostDigits, '9');
    record.Readings = {ReadingOf(Day, 0, huge), ReadingOf(Day + 1, 0, "-" + huge), ReadingOf(Day + 2, 0, huge)};
    const QJsonObject cells = written(record)["cells"].toObject();
    expectPlainNumbers(cells);
    EXPECT_DOUBLE_EQ(cells["I22"]["value"].toDouble(), 1e18); // the median
    EXPECT_FALSE(isEmpty(cells, "I23"));
}

TEST_F(LoggedReadings, ThreeThousandReadingsInShiftsStillSave)
{
    // Six above the median, six below, and so on: five hundred shifts, far more than a cell could list.
    RunChartRecord record = workedExample();
    record.Readings.clear();
    for (int i = 0; i < 3000; ++i)
        record.Readings.push_back(ReadingOf(Day + i, 0, (i / 6) % 2 ? "-0.01" : "0.01"));
    const QJsonObject cells = written(record)["cells"].toObject();
    const std::string listed = cells["I29"]["value"].toString().toStdString();
    // Each block of six also lies beyond a natural process limit: the moving ranges are mostly nothing.
    EXPECT_TRUE(listed.starts_with("Shift: readings 1-6 (00:00:00 to 00:00:05) above the median; Beyond UNPL: "
                                   "readings 1-6 (00:00:00 to 00:00:05); Shift: readings 7-12 (00:00:06 to 00:00:11) "
                                   "below"))
        << listed;
    EXPECT_TRUE(listed.ends_with("; and 980 more")) << listed;
}

} // namespace
} // namespace quorvale
