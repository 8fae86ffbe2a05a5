// The maker's web address: the PDF producer, the output window's creator, the workbook's link.
#pragma once

#include <string_view>

namespace quorvale {

inline constexpr std::string_view MakerUrl = "http://www.quorvale.example/runchart";
// The same address as host and path, without its scheme.
inline constexpr std::string_view MakerHostAndPath = MakerUrl.substr(7);

} // namespace quorvale
