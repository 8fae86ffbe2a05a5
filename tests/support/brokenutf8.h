// One table of broken UTF-8 for every reader of UTF-8 (the Windows-1252 encoder, the converter's
// decoder, the workbook's XML filter): each must replace the same bytes with the same "?"s, one
// for each maximal ill-formed part of a sequence.
#pragma once

#include <string>

namespace quorvale::test {

struct BrokenUtf8 {
    std::string bytes;
    std::string read; // what every reader makes of it
};

inline const BrokenUtf8 BrokenUtf8Cases[] = {
    {"a\xC0\x80z", "a??z"},                 // NUL in two bytes, overlong
    {"a\xC0\xA8z", "a??z"},                 // "(" in two bytes, overlong
    {"\xC1\xBF", "??"},                     // overlong
    {"\xE0\x80\xAF", "???"},                // "/" in three bytes, overlong
    {"\xF0\x80\x80\xAF", "????"},           // "/" in four bytes, overlong
    {"\xED\xA0\x80\xED\xBF\xBF", "??????"}, // surrogates
    {"\xF4\x90\x80\x80", "????"},           // past U+10FFFF
    {"\xF5\x80\x80\x80", "????"},           // no lead byte
    {"\x80 \xBF \xFE \xFF", "? ? ? ?"},     // stray bytes
    {"a\xE2\x82 b", "a? b"},                // cut short in the middle
    {"a\xF0\x9F\x98", "a?"},                // cut short by the end
    {"\xE2\x82\xE2\x82\x41", "??A"},        // cut short twice
};

} // namespace quorvale::test
