#include "chartpage.h"

#include "documentfonts.h"
#include "pagelayout.h"
#include "pdfdocument.h"
#include "pdftext.h"
#include "readingstats.h"
#include "utf8decoder.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace quorvale {

namespace {

// Page coordinates to a hundredth of a point, never through the locale.
std::string at(double points)
{
    return formatFixed(roundHalfEven(std::max(points, 0.0) * 100) * 100);
}

std::string point(double x, double y)
{
    return at(x) + " " + at(y);
}

class ChartPainter {
public:
    ChartPainter(PdfDocument& document, const PageGeometry& geometry, const ChartData& chart, DocumentFonts& fonts)
        : m_document(document), m_geometry(geometry), m_chart(chart), m_fonts(fonts),
          m_size(static_cast<double>(geometry.fontsize) / FixedScale), m_fontSize(formatFixed(geometry.fontsize))
    {
        // Room for the values up the left side and the line labels on the right; the title above,
        // the reading numbers and the page number below.
        m_left = TextLeft + 7 * m_size;
        m_right = geometry.pagewidth - TextLeft - 9 * m_size;
        m_top = geometry.pageheight - 40 - 3 * m_size;
        m_bottom = 40 + 3 * m_size;
        valueRange();
    }

    void paint()
    {
        m_document.writeline("ET"); // the text object the page opened with; drawing comes first
        frameAndTicks();
        levelLines();
        readingLine();
        labels();
        m_document.writeline("BT"); // the page number goes in a text object, which the page closes
        writeFooter(m_document, m_geometry);
    }

private:
    void valueRange()
    {
        const auto [lowest, highest] =
            std::minmax_element(m_chart.readings.begin(), m_chart.readings.end(),
                                [](const ChartReading& a, const ChartReading& b) { return a.value < b.value; });
        m_low = lowest->value;
        m_high = highest->value;
        for (const ChartLevel& level : m_chart.levels) {
            m_low = std::min(m_low, level.value);
            m_high = std::max(m_high, level.value);
        }
        // A margin of a tenth of the range each way; a flat run gets one around its value.
        const double margin = m_high > m_low ? (m_high - m_low) / 10 : std::max(std::abs(m_high) / 100, 1.0);
        m_low -= margin;
        m_high += margin;
        valueTicks();
    }

    // Values up the side at a step of 1, 2 or 5 times a power of ten, so that at most MaxValueSteps
    // intervals lie between them: no finer than the decimals they are written with where that still
    // leaves two of them; otherwise they are written with the decimals their step needs.
    void valueTicks()
    {
        constexpr double MaxValueSteps = 8;
        const double span = m_high - m_low;
        const double power = std::pow(10.0, std::floor(std::log10(span / MaxValueSteps)));
        double step = 10 * power;
        for (const double factor : {5.0, 2.0, 1.0}) {
            if (span / (factor * power) <= MaxValueSteps)
                step = factor * power;
        }
        const double coarsest = std::pow(10.0, -m_chart.decimals);
        if (step < coarsest && std::floor(m_high / coarsest) > std::ceil(m_low / coarsest))
            step = coarsest;
        m_tickDecimals = std::max(m_chart.decimals, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
        const double first = std::ceil(m_low / step);
        const double count = std::min(std::floor(m_high / step) - first, MaxValueSteps);
        for (int tick = 0; tick <= count; ++tick)
            m_valueTicks.push_back((first + tick) * step);
    }

    double x(std::size_t reading) const // reading counted from 1
    {
        const std::size_t count = m_chart.readings.size();
        if (count == 1)
            return (m_left + m_right) / 2;
        return m_left + (m_right - m_left) * static_cast<double>(reading - 1) / static_cast<double>(count - 1);
    }

    double y(double value) const { return m_bottom + (m_top - m_bottom) * (value - m_low) / (m_high - m_low); }

    void line(double x1, double y1, double x2, double y2)
    {
        m_document.writeline(point(x1, y1) + " m " + point(x2, y2) + " l S");
    }

    // Reading numbers at a step of 1, 2 or 5 times a power of ten, so that about ten stand along the bottom.
    std::size_t readingStep() const
    {
        const std::size_t count = m_chart.readings.size();
        for (std::size_t power = 1;; power *= 10) {
            for (const std::size_t step : {power, 2 * power, 5 * power}) {
                if (count / step <= 10)
                    return step;
            }
        }
    }

    void frameAndTicks()
    {
        m_document.writeline("q");
        m_document.writeline("0.5 w");
        m_document.writeline(point(m_left, m_bottom) + " " + at(m_right - m_left) + " " + at(m_top - m_bottom) +
                             " re S");
        for (const double value : m_valueTicks)
            line(m_left - 3, y(value), m_left, y(value));
        const std::size_t step = readingStep();
        for (std::size_t reading = 1; reading <= m_chart.readings.size(); ++reading) {
            if (reading == 1 || reading % step == 0)
                line(x(reading), m_bottom, x(reading), m_bottom - 3);
        }
        m_document.writeline("Q");
    }

    // Each kind of level keeps its look in black and white: limits solid, the check dash-dotted,
    // the median long dashes, the natural process limits short ones.
    static std::string_view levelStyle(ChartLevel::Kind kind)
    {
        switch (kind) {
        case ChartLevel::Kind::Limit:
            return "1 w";
        case ChartLevel::Kind::Check:
            return "0.75 w\r[6 2 1 2] 0 d";
        case ChartLevel::Kind::Median:
            return "1 w\r[4 3] 0 d";
        case ChartLevel::Kind::NaturalLimit:
            return "0.75 w\r[2 2] 0 d";
        }
        return {};
    }

    void levelLines()
    {
        for (const ChartLevel& level : m_chart.levels) {
            m_document.writeline("q");
            m_document.writeline(levelStyle(level.kind));
            line(m_left, y(level.value), m_right, y(level.value));
            m_document.writeline("Q");
        }
    }

    // A square at a reading within the limits; a red triangle pointing the way out at one outside them.
    void readingLine()
    {
        const std::vector<ChartReading>& readings = m_chart.readings;
        m_document.writeline("q");
        m_document.writeline("1 w");
        m_document.writeline("0 0 0.75 RG");
        m_document.writeline("0 0 0.75 rg");
        if (readings.size() > 1) {
            m_document.writeline(point(x(1), y(readings[0].value)) + " m");
            for (std::size_t reading = 2; reading <= readings.size(); ++reading)
                m_document.writeline(point(x(reading), y(readings[reading - 1].value)) + " l");
            m_document.writeline("S");
        }
        for (const bool outside : {false, true}) {
            if (outside)
                m_document.writeline("1 0 0 rg");
            for (std::size_t reading = 1; reading <= readings.size(); ++reading) {
                const ChartJudgement judged = readings[reading - 1].judged;
                if ((judged != ChartJudgement::Within) != outside)
                    continue;
                const double px = x(reading);
                const double py = y(readings[reading - 1].value);
                if (!outside) {
                    m_document.writeline(point(px - 2, py - 2) + " 4 4 re f");
                    continue;
                }
                const double way = judged == ChartJudgement::Above ? 1 : -1;
                m_document.writeline(point(px, py + 5 * way) + " m " + point(px - 4, py - 3 * way) + " l " +
                                     point(px + 4, py - 3 * way) + " l f");
            }
        }
        m_document.writeline("Q");
    }

    // Shows a UTF-8 text with its anchor at x: 0 its left end, 1 its right end, 0.5 its middle. Its
    // characters beyond Windows-1252 go through the embedded fonts, as in the text's rows.
    void text(double x, double y, std::string_view utf8, double anchor = 0)
    {
        std::string shown(utf8);
        shown.resize(decodeUtf8(shown.data(), shown.size(), shown.data(), /*last*/ true, &m_fonts).written);
        const double width = textWidth(m_geometry, shown, m_fonts.pendingWidth());
        std::string escaped;
        appendEscaped(escaped, shown);
        const std::string placing = "1 0 0 1 " + point(x - anchor * width, y) + " Tm";
        if (!m_fonts.nonePending()) {
            m_fonts.writeRow(m_document, escaped, m_fontSize, placing);
            return;
        }
        m_document.writeline(placing);
        m_document.writeline("(" + escaped + ") Tj");
    }

    // The levels' labels at their heights, from the lowest up, each moved up clear of the one below.
    void levelLabels()
    {
        std::vector<const ChartLevel*> levels;
        for (const ChartLevel& level : m_chart.levels)
            levels.push_back(&level);
        std::stable_sort(levels.begin(), levels.end(),
                         [](const ChartLevel* a, const ChartLevel* b) { return a->value < b->value; });
        double lowestFree = 0;
        for (const ChartLevel* level : levels) {
            const double height = std::max(y(level->value) - m_size / 3, lowestFree);
            text(m_right + 4, height, level->label);
            lowestFree = height + m_size;
        }
    }

    void labels()
    {
        m_document.writeline("BT");
        m_document.writeline("/F1 " + m_fontSize + " Tf");
        text(TextLeft, m_geometry.pageheight - 40 - m_size, m_chart.title);
        if (!m_chart.unit.empty())
            text(m_left - 5, m_top + m_size / 2, m_chart.unit, /*anchor*/ 1);
        for (const double value : m_valueTicks)
            text(m_left - 5, y(value) - m_size / 3, FixedText(value, m_tickDecimals), /*anchor*/ 1);
        const std::size_t step = readingStep();
        for (std::size_t reading = 1; reading <= m_chart.readings.size(); ++reading) {
            if (reading == 1 || reading % step == 0) {
                text(x(reading), m_bottom - 4 - m_size, formatInteger(static_cast<std::int64_t>(reading)),
                     /*anchor*/ 0.5);
            }
        }
        levelLabels();
        m_document.writeline("ET");
    }

    PdfDocument& m_document;
    const PageGeometry& m_geometry;
    const ChartData& m_chart;
    DocumentFonts& m_fonts;
    const double m_size;
    const std::string m_fontSize;
    double m_left = 0, m_right = 0, m_top = 0, m_bottom = 0;
    double m_low = 0, m_high = 0;
    std::vector<double> m_valueTicks;
    int m_tickDecimals = 0;
};

} // namespace

void checkChart(const ChartData& chart)
{
    const auto finiteReading = [](const ChartReading& reading) { return std::isfinite(reading.value); };
    const auto finiteLevel = [](const ChartLevel& level) { return std::isfinite(level.value); };
    if (chart.readings.empty() || !std::all_of(chart.readings.begin(), chart.readings.end(), finiteReading) ||
        !std::all_of(chart.levels.begin(), chart.levels.end(), finiteLevel) || chart.decimals < 0)
        throw std::invalid_argument("The run chart needs at least one reading, and finite figures.");
}

void useChartCharacters(const ChartData& chart, DocumentFonts& fonts)
{
    const auto see = [&](const std::string& text) { checkUtf8(text.data(), text.size(), /*last*/ true, &fonts); };
    see(chart.title);
    see(chart.unit);
    for (const ChartLevel& level : chart.levels)
        see(level.label);
    fonts.checked(/*utf8*/ true);
}

void writeChartPage(PdfDocument& document, const PageGeometry& geometry, const ChartData& chart, DocumentFonts& fonts)
{
    const std::int64_t streamstart = document.startpage();
    ChartPainter(document, geometry, chart, fonts).paint();
    document.endpage(streamstart);
}

} // namespace quorvale
