// UTF-8 to Windows-1252, a block at a time and in place, as the Unicode standard defines UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvale {

struct Utf8Block {
    std::size_t written = 0;  // Windows-1252 bytes written
    std::size_t consumed = 0; // input bytes used; the rest begin a sequence that the next block completes
    std::int64_t replaced = 0;
    std::size_t firstReplaced = 0; // where the first "?" of this block was written, when replaced > 0
    bool valid = true;             // no ill-formed sequence (overlong, surrogate, past U+10FFFF, cut short)
};

// Whether in[0..size) holds only well-formed UTF-8; consumed tells where a sequence cut by the
// block's end begins, when last is not set. Reads 32 bytes at a time through plain ASCII.
struct Utf8Check {
    std::size_t consumed = 0;
    bool valid = true;
};
Utf8Check checkUtf8(const char* in, std::size_t size, bool last);

// Decodes in[0..size) into out, which may be in itself: the output never runs ahead of the input.
// Every character becomes its Windows-1252 byte; one the code page lacks, and each maximal ill-formed
// part of a sequence, becomes "?". Unless last is set, a sequence cut by the block's end is left
// unconsumed.
Utf8Block decodeUtf8(const char* in, std::size_t size, char* out, bool last);

} // namespace quorvale
