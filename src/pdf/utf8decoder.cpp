#include "utf8decoder.h"

#include "windows1252.h"

#include <array>
#include <cstring>

namespace quorvale {

namespace {

// For each lead byte: the number of bytes that follow it (0 marks a byte that cannot lead) and the
// range of the first of them, which rules out overlong forms, surrogates and code points past U+10FFFF.
struct Lead {
    std::uint8_t follow = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
};

constexpr std::array<Lead, 256> leadTable()
{
    std::array<Lead, 256> table{};
    for (int byte = 0xC2; byte <= 0xDF; ++byte)
        table[byte].follow = 1;
    for (int byte = 0xE0; byte <= 0xEF; ++byte)
        table[byte].follow = 2;
    for (int byte = 0xF0; byte <= 0xF4; ++byte)
        table[byte].follow = 3;
    table[0xE0].low = 0xA0;
    table[0xED].high = 0x9F;
    table[0xF0].low = 0x90;
    table[0xF4].high = 0x8F;
    return table;
}
constexpr std::array<Lead, 256> Leads = leadTable();

constexpr std::uint64_t HighBits = 0x8080808080808080;

} // namespace

Utf8Block decodeUtf8(const char* in, std::size_t size, char* out, bool last)
{
    Utf8Block block;
    std::size_t i = 0;
    std::size_t o = 0;
    const auto replace = [&] {
        if (block.replaced++ == 0)
            block.firstReplaced = o;
        out[o++] = '?';
    };
    while (i < size) {
        // Plain ASCII goes eight bytes at a time.
        std::uint64_t word = 0;
        if (size - i >= 8 && (std::memcpy(&word, in + i, 8), (word & HighBits) == 0)) {
            std::memcpy(out + o, &word, 8);
            i += 8;
            o += 8;
            continue;
        }
        const auto lead = static_cast<std::uint8_t>(in[i]);
        if (lead < 0x80) {
            out[o++] = static_cast<char>(lead);
            ++i;
            continue;
        }
        const Lead rule = Leads[lead];
        if (rule.follow == 0) {
            block.valid = false;
            replace();
            ++i;
            continue;
        }
        char32_t codePoint = lead & (0x3F >> rule.follow);
        std::size_t length = 1;
        for (; length <= rule.follow && i + length < size; ++length) {
            const auto next = static_cast<std::uint8_t>(in[i + length]);
            if (next < (length == 1 ? rule.low : 0x80) || next > (length == 1 ? rule.high : 0xBF))
                break;
            codePoint = (codePoint << 6) | (next & 0x3FU);
        }
        if (length > rule.follow) {
            const char byte = windows1252Byte(codePoint);
            if (byte == '?')
                replace();
            else
                out[o++] = byte;
        } else if (i + length == size && !last) {
            break; // the next block completes it
        } else {
            block.valid = false;
            replace();
        }
        i += length;
    }
    block.written = o;
    block.consumed = i;
    return block;
}

} // namespace quorvale
