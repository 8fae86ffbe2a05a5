#include "windows1252.h"

#include "utf8.h"

#include <array>

namespace quorvale {

namespace {

// The code points of bytes 0x80..0x9F; 0 marks the five bytes the code page leaves undefined.
constexpr std::array<char32_t, 32> HighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

} // namespace

char windows1252Byte(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(codePoint);
    // Whole blocks the code page skips (Latin Extended-A up to Œ, Latin Extended-B and IPA after ƒ,
    // Greek, Cyrillic and the rest up to the dashes, everything past the trade mark sign) need no search.
    if (codePoint < 0x0152 || (codePoint > 0x0192 && codePoint < 0x02C6) ||
        (codePoint > 0x02DC && codePoint < 0x2013) || codePoint > 0x2122)
        return '?';
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] != 0 && HighControls[i] == codePoint)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

char32_t windows1252CodePoint(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? HighControls[byte - 0x80] : byte;
}

bool fitsWindows1252(std::string_view utf8)
{
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Sequence sequence = readUtf8(utf8.data() + i, utf8.size() - i);
        if (sequence.kind == Utf8Sequence::Whole && sequence.codePoint != U'?' &&
            windows1252Byte(sequence.codePoint) == '?')
            return false;
        i += sequence.length;
    }
    return true;
}

std::string encodeWindows1252(std::string_view utf8)
{
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Sequence sequence = readUtf8(utf8.data() + i, utf8.size() - i);
        bytes += sequence.kind == Utf8Sequence::Whole ? windows1252Byte(sequence.codePoint) : '?';
        i += sequence.length;
    }
    return bytes;
}

} // namespace quorvale
