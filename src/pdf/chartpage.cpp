#include "chartpage.h"

#include "pagelayout.h"
#include "pdfdocument.h"
#include "pdftext.h"
#include "readingstats.h"

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
    ChartPainter(PdfDocument& document, const PageGeometry& geometry, const ChartData& chart)
        : m_document(document), m_geometry(geometry), m_chart(chart),
          m_size(static_cast<double>(geometry.fontsize) / FixedScale)
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
        limitLines();
        readingLine();
        labels();
        m_document.writeline("BT"); // the page number goes in a text object, which the page closes
        writeFooter(m_document, m_geometry);
    }

private:
    void valueRange()
    {
        m_low = *std::min_element(m_chart.readings.begin(), m_chart.readings.end());
        m_high = *std::max_element(m_chart.readings.begin(), m_chart.readings.end());
        for (const std::optional<double>& line : {m_chart.upper, m_chart.lower, m_chart.median}) {
            if (line) {
                m_low = std::min(m_low, *line);
                m_high = std::max(m_high, *line);
            }
        }
        // A margin of a tenth of the range each way; a flat run gets one around its value.
        const double margin = m_high > m_low ? (m_high - m_low) / 10 : std::max(std::abs(m_high) / 100, 1.0);
        m_low -= margin;
        m_high += margin;
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
        for (int tick = 0; tick <= 4; ++tick)
            line(m_left - 3, m_bottom + (m_top - m_bottom) * tick / 4, m_left,
                 m_bottom + (m_top - m_bottom) * tick / 4);
        const std::size_t step = readingStep();
        for (std::size_t reading = 1; reading <= m_chart.readings.size(); ++reading) {
            if (reading == 1 || reading % step == 0)
                line(x(reading), m_bottom, x(reading), m_bottom - 3);
        }
        m_document.writeline("Q");
    }

    void limitLines()
    {
        m_document.writeline("q");
        m_document.writeline("1 w");
        for (const std::optional<double>& limit : {m_chart.upper, m_chart.lower}) {
            if (limit)
                line(m_left, y(*limit), m_right, y(*limit));
        }
        if (m_chart.median) {
            m_document.writeline("[4 3] 0 d");
            line(m_left, y(*m_chart.median), m_right, y(*m_chart.median));
        }
        m_document.writeline("Q");
    }

    void readingLine()
    {
        const std::vector<double>& readings = m_chart.readings;
        m_document.writeline("q");
        m_document.writeline("1 w");
        m_document.writeline("0 0 0.75 RG");
        m_document.writeline("0 0 0.75 rg");
        if (readings.size() > 1) {
            m_document.writeline(point(x(1), y(readings[0])) + " m");
            for (std::size_t reading = 2; reading <= readings.size(); ++reading)
                m_document.writeline(point(x(reading), y(readings[reading - 1])) + " l");
            m_document.writeline("S");
        }
        // A square mark at each reading, red where it lies outside the limits.
        for (const bool red : {false, true}) {
            if (red)
                m_document.writeline("1 0 0 rg");
            for (std::size_t reading = 1; reading <= readings.size(); ++reading) {
                if (m_chart.outside[reading - 1] == red)
                    m_document.writeline(point(x(reading) - 2, y(readings[reading - 1]) - 2) + " 4 4 re f");
            }
        }
        m_document.writeline("Q");
    }

    // Width of a Windows-1252 text in points; for a font without known metrics, half the size a character.
    double textWidth(std::string_view text) const
    {
        double width = 0;
        for (const char c : text)
            width += m_geometry.widths ? (*m_geometry.widths)[static_cast<unsigned char>(c)] : 500;
        return width * m_size / 1000;
    }

    void text(double x, double y, std::string_view shown)
    {
        std::string escaped;
        appendEscaped(escaped, shown);
        m_document.writeline("1 0 0 1 " + point(x, y) + " Tm");
        m_document.writeline("(" + escaped + ") Tj");
    }

    void labels()
    {
        m_document.writeline("BT");
        m_document.writeline("/F1 " + formatFixed(m_geometry.fontsize) + " Tf");
        text(TextLeft, m_geometry.pageheight - 40 - m_size, m_chart.title);
        for (int tick = 0; tick <= 4; ++tick) {
            const std::string value = FixedText(m_low + (m_high - m_low) * tick / 4, m_chart.decimals);
            text(m_left - 5 - textWidth(value), m_bottom + (m_top - m_bottom) * tick / 4 - m_size / 3, value);
        }
        const std::size_t step = readingStep();
        for (std::size_t reading = 1; reading <= m_chart.readings.size(); ++reading) {
            if (reading == 1 || reading % step == 0) {
                const std::string number = formatInteger(static_cast<std::int64_t>(reading));
                text(x(reading) - textWidth(number) / 2, m_bottom - 4 - m_size, number);
            }
        }
        const auto label = [&](const std::optional<double>& value, std::string_view name) {
            if (value)
                text(m_right + 4, y(*value) - m_size / 3,
                     std::string(name) + " " + FixedText(*value, m_chart.decimals));
        };
        label(m_chart.upper, "Upper");
        label(m_chart.lower, "Lower");
        label(m_chart.median, "Median");
        m_document.writeline("ET");
    }

    PdfDocument& m_document;
    const PageGeometry& m_geometry;
    const ChartData& m_chart;
    const double m_size;
    double m_left = 0, m_right = 0, m_top = 0, m_bottom = 0;
    double m_low = 0, m_high = 0;
};

} // namespace

void checkChart(const ChartData& chart)
{
    const auto finite = [](const std::optional<double>& value) { return !value || std::isfinite(*value); };
    if (chart.readings.empty() || chart.outside.size() != chart.readings.size() ||
        !std::all_of(chart.readings.begin(), chart.readings.end(), [](double v) { return std::isfinite(v); }) ||
        !finite(chart.upper) || !finite(chart.lower) || !finite(chart.median) || chart.decimals < 0)
        throw std::invalid_argument(
            "The run chart needs at least one reading, finite figures and a judgement for each reading.");
}

void writeChartPage(PdfDocument& document, const PageGeometry& geometry, const ChartData& chart)
{
    const std::int64_t streamstart = document.startpage();
    ChartPainter(document, geometry, chart).paint();
    document.endpage(streamstart);
}

} // namespace quorvale
