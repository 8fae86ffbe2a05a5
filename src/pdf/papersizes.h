// The paper sizes offered by name, in inches as the page set-up takes them.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace quorvale {

constexpr float inchesFromMillimetres(double millimetres)
{
    return static_cast<float>(millimetres / 25.4);
}

struct PaperSize {
    std::string_view name;
    float width;
    float height;
};

inline constexpr std::array<PaperSize, 3> PaperSizes = {{
    {"Letter", 8.5F, 11},
    {"Legal", 8.5F, 14},
    {"A4", inchesFromMillimetres(210), inchesFromMillimetres(297)},
}};

// The paper of that name in any case; none for another name.
std::optional<PaperSize> findPaper(std::string_view name);

} // namespace quorvale
