#include "utf8decoder.h"

#include "utf8.h"
#include "windows1252.h"

#include <array>
#include <cstring>

namespace quorvale {

namespace {

constexpr std::uint64_t HighBits = 0x8080808080808080;

std::uint64_t word(const char* at)
{
    std::uint64_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

} // namespace

Utf8Check checkUtf8(const char* in, std::size_t size, bool last, WideCharacters* wide)
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
        const Utf8Sequence sequence = readUtf8(in + i, size - i);
        if (sequence.kind == Utf8Sequence::Cut && !last)
            break;
        if (sequence.kind != Utf8Sequence::Whole) {
            check.valid = false;
            if (wide == nullptr)
                break;
        } else if (wide != nullptr && windows1252Byte(sequence.codePoint) == '?') {
            wide->see(sequence.codePoint);
        }
        i += sequence.length;
    }
    check.consumed = i;
    return check;
}

Utf8Block decodeUtf8(const char* in, std::size_t size, char* out, bool last, WideCharacters* wide)
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
        const Utf8Sequence sequence = readUtf8(in + i, size - i);
        if (sequence.kind == Utf8Sequence::Cut && !last)
            break; // the next block completes it
        i += sequence.length;
        if (sequence.kind != Utf8Sequence::Whole) {
            block.valid = false;
            put('?');
            continue;
        }
        const char byte = windows1252Byte(sequence.codePoint);
        if (byte == '?' && sequence.codePoint != U'?' && wide != nullptr && wide->show(sequence.codePoint))
            out[o++] = WideMarker;
        else
            put(byte);
    }
    block.written = o;
    block.consumed = i;
    return block;
}

} // namespace quorvale
