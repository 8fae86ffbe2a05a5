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

std::uint64_t word(const char* at)
{
    std::uint64_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// One sequence that begins with a byte of 0x80 or more: its length, and whether it is whole and
// well formed, cut by the end of the bytes, or ill formed (then length covers its maximal part).
struct Sequence {
    enum Kind { Whole, Cut, Broken } kind = Broken;
    std::size_t length = 1;
    char32_t codePoint = 0;
};

Sequence readSequence(const char* in, std::size_t available)
{
    const auto lead = static_cast<std::uint8_t>(in[0]);
    const Lead rule = Leads[lead];
    Sequence sequence;
    if (rule.follow == 0)
        return sequence;
    sequence.codePoint = lead & (0x3F >> rule.follow);
    for (; sequence.length <= rule.follow; ++sequence.length) {
        if (sequence.length == available) {
            sequence.kind = Sequence::Cut;
            return sequence;
        }
        const auto next = static_cast<std::uint8_t>(in[sequence.length]);
        if (next < (sequence.length == 1 ? rule.low : 0x80) || next > (sequence.length == 1 ? rule.high : 0xBF))
            return sequence;
        sequence.codePoint = (sequence.codePoint << 6) | (next & 0x3FU);
    }
    sequence.kind = Sequence::Whole;
    return sequence;
}

} // namespace

Utf8Check checkUtf8(const char* in, std::size_t size, bool last)
{
    Utf8Check check;
    std::size_t i = 0;
    while (i < size) {
        if (size - i >= 32 &&
            ((word(in + i) | word(in + i + 8) | word(in + i + 16) | word(in + i + 24)) & HighBits) == 0) {
            i += 32;
            continue;
        }
        if (static_cast<std::uint8_t>(in[i]) < 0x80) {
            ++i;
            continue;
        }
        const Sequence sequence = readSequence(in + i, size - i);
        if (sequence.kind == Sequence::Cut && !last)
            break;
        if (sequence.kind != Sequence::Whole) {
            check.valid = false;
            break;
        }
        i += sequence.length;
    }
    check.consumed = i;
    return check;
}

Utf8Block decodeUtf8(const char* in, std::size_t size, char* out, bool last)
{
    Utf8Block block;
    std::size_t i = 0;
    std::size_t o = 0;
    const auto put = [&](char byte) {
        if (byte == '?' && block.replaced++ == 0)
            block.firstReplaced = o;
        out[o++] = byte;
    };
    while (i < size) {
        // Plain ASCII goes 32 bytes at a time, and stays in place until a sequence shortens the text.
        if (size - i >= 32 &&
            ((word(in + i) | word(in + i + 8) | word(in + i + 16) | word(in + i + 24)) & HighBits) == 0) {
            if (out + o != in + i)
                std::memmove(out + o, in + i, 32);
            i += 32;
            o += 32;
            continue;
        }
        if (static_cast<std::uint8_t>(in[i]) < 0x80) {
            out[o++] = in[i++];
            continue;
        }
        const Sequence sequence = readSequence(in + i, size - i);
        if (sequence.kind == Sequence::Cut && !last)
            break; // the next block completes it
        if (sequence.kind != Sequence::Whole)
            block.valid = false;
        put(sequence.kind == Sequence::Whole ? windows1252Byte(sequence.codePoint) : '?');
        i += sequence.length;
    }
    block.written = o;
    block.consumed = i;
    return block;
}

} // namespace quorvale
