// Numbers and strings as they are written inside the PDF's lines, never through the locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvale {

// Fixed-point decimals hold their value times this.
inline constexpr std::int64_t FixedScale = 10000;

// Plain decimal integer.
std::string formatInteger(std::int64_t value);
// Shortest decimal form of a non-negative fixed-point value: 120000 gives "12", 144000 gives "14.4".
std::string formatFixed(std::int64_t fixed);
// Shortest decimal form of a double with a period: 306.0 gives "306", 306.5 gives "306.5".
std::string formatDouble(double value);
// The offset as exactly ten digits with leading zeros.
std::string formatOffset(std::int64_t offset);

// Nearest integer to numerator / denominator (denominator > 0), a half going to the even neighbour.
std::int64_t divideRoundHalfEven(std::int64_t numerator, std::int64_t denominator);
// Nearest integer to a finite value, a half going to the even neighbour.
std::int64_t roundHalfEven(double value);

// Appends the text with "\" doubled and "(" and ")" preceded by "\", so it stands safely inside
// a PDF string: the same as replacing "\", then "(", then ")" in turn, in one pass.
void appendEscaped(std::string& out, std::string_view text);

// Appends the value as that many hexadecimal digits, capital letters, leading zeros kept.
void appendHex(std::string& out, std::uint32_t value, int digits);
// Appends the character's UTF-16BE code units in hexadecimal: four digits, or eight for a pair.
void appendUtf16Hex(std::string& out, char32_t character);

// Whether two names are the same but for the case of ASCII letters.
bool sameIgnoringCase(std::string_view a, std::string_view b);

// Windows-1252 bytes to PDFDocEncoding, the encoding readers apply to document information.
std::string toPdfDocEncoding(std::string_view windows1252);

} // namespace quorvale
