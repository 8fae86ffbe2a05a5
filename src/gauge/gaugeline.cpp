#include "gaugeline.h"

#include "reading.h"

#include <utility>

namespace quorvale {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// "01A+00025.013": the fixed format's value without its channel, letter, plus sign and leading zeros.
std::optional<Decimal> fixedFormatValue(std::string_view line)
{
    if (line.size() < 5 || !isDigit(line[0]) || !isDigit(line[1]) || !isLetter(line[2]) ||
        (line[3] != '+' && line[3] != '-'))
        return std::nullopt;
    const bool negative = line[3] == '-';
    std::string_view number = line.substr(4);
    if (number.find_first_not_of("0123456789.") != std::string_view::npos)
        return std::nullopt;
    while (number.size() > 1 && number[0] == '0' && isDigit(number[1]))
        number.remove_prefix(1);
    const auto value = Decimal::parse(number);
    if (!value)
        return std::nullopt;
    return negative ? Decimal::parse("-" + value->text()) : value;
}

} // namespace

std::vector<GaugeLine> GaugeLineReader::take(std::string_view bytes)
{
    std::vector<GaugeLine> lines;
    for (const char c : bytes) {
        if (endsLine(c)) {
            if (!m_skipping && !m_line.empty())
                lines.push_back({GaugeLine::Kind::Complete, std::move(m_line)});
            m_line.clear();
            m_skipping = false;
        } else if (m_skipping) {
            continue;
        } else if (m_line.size() == MaxLineBytes) {
            lines.push_back({GaugeLine::Kind::Overlong, std::move(m_line)});
            m_line.clear();
            m_skipping = true;
        } else {
            m_line += c;
        }
    }
    return lines;
}

bool GaugeLineReader::holdsUnended() const
{
    return !trimmed(m_line).empty();
}

std::string GaugeLineReader::dropUnended()
{
    m_skipping = false;
    return std::exchange(m_line, {});
}

bool GaugeLineReader::endsLine(char c) const
{
    switch (m_lineEnd) {
    case GaugeLineEnd::Cr:
        return c == '\r';
    case GaugeLineEnd::Lf:
        return c == '\n';
    case GaugeLineEnd::Either:
        return c == '\r' || c == '\n';
    }
    return false;
}

std::optional<Decimal> GaugeReadingValue(std::string_view line)
{
    line = trimmed(line);
    if (line.empty())
        return std::nullopt;
    if (auto value = fixedFormatValue(line))
        return value;
    return Decimal::parse(line);
}

std::string GaugeLineForNote(std::string_view line)
{
    constexpr std::size_t Shown = 40;
    line = trimmed(line);
    std::string shown;
    for (const char c : line.substr(0, Shown))
        shown += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c;
    if (line.size() > Shown)
        shown += "...";
    return shown;
}

} // namespace quorvale
