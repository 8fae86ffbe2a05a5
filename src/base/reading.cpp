#include "reading.h"

namespace quorvale {

bool ReadingInRange(const Decimal& value)
{
    static const Decimal largest = *Decimal::parse("1000000000");
    return value <= largest && -value <= largest;
}

std::optional<Decimal> ReadingValue(std::string_view typed)
{
    auto value = Decimal::parse(typed);
    if (value && !ReadingInRange(*value))
        return std::nullopt;
    return value;
}

} // namespace quorvale
