// Readings and decimals written as text in a test; a text that is no number fails the test at once.
#pragma once

#include "reading.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvale {

inline Decimal DecimalOf(std::string_view text)
{
    const auto decimal = Decimal::parse(text);
    if (!decimal)
        throw std::invalid_argument("not a decimal: " + std::string(text));
    return *decimal;
}

inline Reading ReadingOf(std::int64_t at, int utcOffset, std::string_view value)
{
    return {{at, utcOffset}, DecimalOf(value)};
}

} // namespace quorvale
