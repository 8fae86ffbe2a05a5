// UTF-8 to Windows-1252, a block at a time and in place, as the Unicode standard defines UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvale {

// Stands in decoded text for one character outside Windows-1252 that another font shows: a byte
// the code page leaves undefined, which decoding never writes otherwise.
inline constexpr char WideMarker = '\x81';

// Where reading sends the characters Windows-1252 lacks.
class WideCharacters {
public:
    virtual ~WideCharacters() = default;
    // One met while the text is checked ahead of the document.
    virtual void see(char32_t character) = 0;
    // The check is over: whether the text is read as UTF-8, so that what was seen will be shown.
    virtual void checked(bool utf8) = 0;
    // Whether the character is shown through another font: WideMarker then stands for it.
    virtual bool show(char32_t character) = 0;
};

struct Utf8Block {
    std::size_t written = 0;  // Windows-1252 bytes written
    std::size_t consumed = 0; // input bytes used; the rest begin a sequence that the next block completes
    std::int64_t replaced = 0;
    std::size_t firstReplaced = 0; // where the first "?" of this block was written, when replaced > 0
    bool valid = true;             // no ill-formed sequence (overlong, surrogate, past U+10FFFF, cut short)
};

// Whether in[0..size) holds only well-formed UTF-8; consumed tells where a sequence cut by the
// block's end begins, when last is not set. Reads 32 bytes at a time through plain ASCII. With
// wide, the whole block is read, past any ill-formed part, and wide sees every character that
// Windows-1252 lacks.
struct Utf8Check {
    std::size_t consumed = 0;
    bool valid = true;
};
Utf8Check checkUtf8(const char* in, std::size_t size, bool last, WideCharacters* wide = nullptr);

// Decodes in[0..size) into out, which may be in itself: the output never runs ahead of the input.
// Every character becomes its Windows-1252 byte; one the code page lacks becomes WideMarker where
// wide shows it, "?" otherwise, and so does each maximal ill-formed part of a sequence. Unless last
// is set, a sequence cut by the block's end is left unconsumed.
Utf8Block decodeUtf8(const char* in, std::size_t size, char* out, bool last, WideCharacters* wide = nullptr);

} // namespace quorvale
