// The program's title and the maker's web address: the PDF producer, the output window's creator,
// the workbook's link.
#pragma once

#include <string_view>

namespace quorvale {

// The entry window's caption, the PDF's default subject, the title of the workbook's failure message.
inline constexpr std::string_view ProgramTitle = "Quorvale v1.0";

inline constexpr std::string_view MakerUrl = "http://www.quorvale.example/runchart";
// The same address as host and path, without its scheme.
inline constexpr std::string_view MakerHostAndPath = MakerUrl.substr(7);

} // namespace quorvale
