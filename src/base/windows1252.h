// Files are written as single-byte Windows-1252 text; this turns UTF-8 into it.
#pragma once

#include <string>
#include <string_view>

namespace quorvale {

// Each character becomes one Windows-1252 byte; a character outside the code page, and each
// ill-formed part of a UTF-8 sequence (see readUtf8), becomes "?".
std::string encodeWindows1252(std::string_view utf8);

// Whether every character of the UTF-8 text has its Windows-1252 byte; an ill-formed part, which
// becomes "?" either way, does not count against it.
bool fitsWindows1252(std::string_view utf8);

// The Windows-1252 byte of one character, or "?" when the code page lacks it.
char windows1252Byte(char32_t codePoint);

// The character of a Windows-1252 byte; 0 for the five bytes the code page leaves undefined.
char32_t windows1252CodePoint(unsigned char byte);

} // namespace quorvale
