// The one UTF-8 decoder: one sequence at a time, as the Unicode standard defines UTF-8. Overlong
// forms, surrogates and code points past U+10FFFF are ill formed; each maximal ill-formed part
// of a sequence is one unit for its reader to replace (the Unicode "maximal subpart" practice),
// so every reader of UTF-8 replaces the same bytes with the same number of characters.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvale {

struct Utf8Sequence {
    enum Kind {
        Whole,  // well formed: codePoint holds the character
        Cut,    // a well-formed start that the end of the bytes cuts short
        Broken, // ill formed: length covers its maximal part
    } kind = Broken;
    std::size_t length = 1;
    char32_t codePoint = 0;
};

namespace utf8detail {

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
        table[static_cast<std::size_t>(byte)].follow = 1;
    for (int byte = 0xE0; byte <= 0xEF; ++byte)
        table[static_cast<std::size_t>(byte)].follow = 2;
    for (int byte = 0xF0; byte <= 0xF4; ++byte)
        table[static_cast<std::size_t>(byte)].follow = 3;
    table[0xE0].low = 0xA0;
    table[0xED].high = 0x9F;
    table[0xF0].low = 0x90;
    table[0xF4].high = 0x8F;
    return table;
}
inline constexpr std::array<Lead, 256> Leads = leadTable();

} // namespace utf8detail

// The sequence that begins at in[0], with available bytes from there (at least 1). Inline: the
// converter decodes whole files through it.
inline Utf8Sequence readUtf8(const char* in, std::size_t available)
{
    const auto lead = static_cast<std::uint8_t>(in[0]);
    Utf8Sequence sequence;
    if (lead < 0x80) {
        sequence.kind = Utf8Sequence::Whole;
        sequence.codePoint = lead;
        return sequence;
    }
    const utf8detail::Lead rule = utf8detail::Leads[lead];
    if (rule.follow == 0)
        return sequence;
    sequence.codePoint = lead & (0x3FU >> rule.follow);
    for (; sequence.length <= rule.follow; ++sequence.length) {
        if (sequence.length == available) {
            sequence.kind = Utf8Sequence::Cut;
            return sequence;
        }
        const auto next = static_cast<std::uint8_t>(in[sequence.length]);
        if (next < (sequence.length == 1 ? rule.low : 0x80) || next > (sequence.length == 1 ? rule.high : 0xBF))
            return sequence;
        sequence.codePoint = (sequence.codePoint << 6) | (next & 0x3FU);
    }
    sequence.kind = Utf8Sequence::Whole;
    return sequence;
}

} // namespace quorvale
