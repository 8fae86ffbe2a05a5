// What a serial gauge sends, line by line: the bytes cut into lines at the chosen line end, with a
// bound on a line's length so that a port sending anything at all holds only that much; and the
// reading a line stands for.
#pragma once

#include "decimal.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvale {

enum class GaugeLineEnd { Cr, Lf, Either };

struct GaugeLine {
    enum class Kind {
        Complete, // a line ended by the line end, without it
        Overlong, // more than MaxLineBytes before the line end: dropped, the text is its start
    };
    Kind kind = Kind::Complete;
    std::string text;

    bool operator==(const GaugeLine&) const = default;
};

class GaugeLineReader {
public:
    static constexpr std::size_t MaxLineBytes = 256;

    explicit GaugeLineReader(GaugeLineEnd lineEnd) : m_lineEnd(lineEnd) {}

    // The lines that the bytes complete, in order. Empty lines (as between the CR and LF of a gauge
    // that sends both) are skipped. An overlong line is reported once, as soon as it is known, and
    // its bytes up to the next line end are skipped.
    std::vector<GaugeLine> take(std::string_view bytes);

    // Bytes received since the last line end that are not blanks only.
    bool holdsUnended() const;
    // Drops the bytes received since the last line end, which never ended a line, and returns them.
    std::string dropUnended();

private:
    bool endsLine(char c) const;

    GaugeLineEnd m_lineEnd;
    std::string m_line;
    bool m_skipping = false; // inside an overlong line, up to its end
};

// The reading a gauge's line stands for, as the inspector would type it: "01A+00025.013" (a
// two-digit channel, a letter, the sign and the value) gives "25.013"; a plain number, with "." or
// "," as its mark, is taken as it is. Blanks around it are ignored. Nothing for any other line.
std::optional<Decimal> GaugeReadingValue(std::string_view line);

// A line as it may be shown in a note: control bytes as "?", at most 40 characters.
std::string GaugeLineForNote(std::string_view line);

} // namespace quorvale
