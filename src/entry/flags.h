// The output-format flags shared by the wizard's windows, 16-bit Booleans with true as -1.
#pragma once

#include <cstdint>

namespace quorvale {

constexpr std::int16_t True = -1;
constexpr std::int16_t False = 0;

inline std::int16_t PdfChosen = False;
inline std::int16_t ExcelChosen = False;

} // namespace quorvale
