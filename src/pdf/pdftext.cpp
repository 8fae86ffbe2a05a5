#include "pdftext.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace quorvale {

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

std::string formatInteger(std::int64_t value)
{
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return std::string(digits.data(), result.ptr);
}

std::string formatFixed(std::int64_t fixed)
{
    const std::string whole = formatInteger(fixed / FixedScale);
    const std::int64_t fraction = fixed % FixedScale;
    if (fraction == 0)
        return whole;
    std::string decimals = formatInteger(fraction + FixedScale).substr(1); // four digits, leading zeros kept
    decimals.erase(decimals.find_last_not_of('0') + 1);
    return whole + "." + decimals;
}

std::string formatDouble(double value)
{
    std::array<char, 32> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::fixed);
    return std::string(digits.data(), result.ptr);
}

std::string formatOffset(std::int64_t offset)
{
    std::string digits = formatInteger(offset);
    if (digits.size() < 10)
        digits.insert(0, 10 - digits.size(), '0');
    return digits;
}

std::int64_t divideRoundHalfEven(std::int64_t numerator, std::int64_t denominator)
{
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator;
    if (remainder < 0) { // floor division
        --quotient;
        remainder += denominator;
    }
    const std::int64_t twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

std::int64_t roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor; // exact for every double
    auto result = static_cast<std::int64_t>(floor);
    if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0))
        ++result;
    return result;
}

namespace {

// The high bit of every zero byte of x, and no other bit.
constexpr std::uint64_t zeroBytes(std::uint64_t x)
{
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7F;
    return ~(((x & low7) + low7) | x | low7);
}

// The high bit of every byte of word that is "\\", "(" or ")"; setting the lowest bit makes "(" a ")".
constexpr std::uint64_t escapedBytes(std::uint64_t word)
{
    constexpr std::uint64_t ones = 0x0101010101010101;
    return zeroBytes(word ^ (ones * '\\')) | zeroBytes((word | ones) ^ (ones * ')'));
}

using Bytes16 = unsigned char __attribute__((vector_size(16)));

// Whether a comparison of sixteen bytes held for any of them.
bool anyByte(Bytes16 compared)
{
    std::array<std::uint64_t, 2> halves{};
    std::memcpy(halves.data(), &compared, sizeof compared);
    return (halves[0] | halves[1]) != 0;
}

// Index in memory order of the first byte marked in a non-zero mask.
std::size_t firstMarkedByte(std::uint64_t mask)
{
    if constexpr (std::endian::native == std::endian::little)
        return static_cast<std::size_t>(std::countr_zero(mask)) / 8;
    else
        return static_cast<std::size_t>(std::countl_zero(mask)) / 8;
}

} // namespace

void appendEscaped(std::string& out, std::string_view text)
{
    // Room for the worst case, trimmed at the end. Text rarely holds these characters: eight bytes
    // at a time are copied whole, and the copy resumes after each marked byte and its backslash.
    const std::size_t start = out.size();
    out.resize(start + 2 * text.size());
    char* to = out.data() + start;
    std::size_t i = 0;
    while (text.size() - i >= 8) {
        if (text.size() - i >= 16) { // sixteen plain bytes at once where the machine compares them so
            Bytes16 bytes;
            std::memcpy(&bytes, text.data() + i, sizeof bytes);
            if (!anyByte((bytes == '\\') | ((bytes | 1) == ')'))) {
                std::memcpy(to, &bytes, sizeof bytes);
                i += 16;
                to += 16;
                continue;
            }
        }
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + i, sizeof word);
        std::memcpy(to, &word, sizeof word);
        const std::uint64_t marked = escapedBytes(word);
        if (marked == 0) {
            i += 8;
            to += 8;
            continue;
        }
        const std::size_t first = firstMarkedByte(marked);
        to[first] = '\\';
        to[first + 1] = text[i + first];
        to += first + 2;
        i += first + 1;
    }
    for (; i < text.size(); ++i) {
        if (text[i] == '\\' || text[i] == '(' || text[i] == ')')
            *to++ = '\\';
        *to++ = text[i];
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
}

void appendHex(std::string& out, std::uint32_t value, int digits)
{
    static constexpr std::string_view Digits = "0123456789ABCDEF";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += Digits[(value >> shift) & 0xF];
}

void appendUtf16Hex(std::string& out, char32_t character)
{
    if (character < 0x10000) {
        appendHex(out, character, 4);
        return;
    }
    const char32_t above = character - 0x10000;
    appendHex(out, 0xD800 + (above >> 10), 4);
    appendHex(out, 0xDC00 + (above & 0x3FF), 4);
}

namespace {

// PDFDocEncoding codes of Windows-1252 bytes 0x80..0x9F; 0 where either side has no such character.
constexpr std::array<unsigned char, 32> HighCharacters = {
    0xA0, 0,    0x91, 0x86, 0x8C, 0x83, 0x81, 0x82, 0x1A, 0x8B, 0x97, 0x88, 0x96, 0, 0x99, 0,
    0,    0x8F, 0x90, 0x8D, 0x8E, 0x80, 0x85, 0x84, 0x1F, 0x92, 0x9D, 0x89, 0x9C, 0, 0x9E, 0x98,
};

} // namespace

std::string toPdfDocEncoding(std::string_view windows1252)
{
    std::string out;
    out.reserve(windows1252.size());
    for (const char c : windows1252) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte <= 0x9F) {
            const unsigned char code = HighCharacters[byte - 0x80];
            out += code != 0 ? static_cast<char>(code) : '?';
        } else if (byte == 0xA0) { // no-break space: PDFDocEncoding puts the Euro sign there
            out += ' ';
        } else if (byte == 0xAD) { // soft hyphen: undefined in PDFDocEncoding
            out += '-';
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace quorvale
