// Text that a workbook's XML parts can carry: readers refuse a whole file over one control character.
#pragma once

#include <string>
#include <string_view>

namespace quorvale {

// The UTF-8 text with each character that XML 1.0 cannot hold (controls other than TAB, LF and CR,
// U+FFFE, U+FFFF) and each ill-formed part of a UTF-8 sequence (see readUtf8) written as "?".
std::string XmlText(std::string_view utf8);

} // namespace quorvale

namespace quorvale {

// XmlText cut to the 32,767 characters a spreadsheet cell holds, at a character's boundary.
std::string CellText(std::string_view utf8);

} // namespace quorvale
