#include "moment.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace quorvale {

Moment Moment::now()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {static_cast<std::int64_t>(now), static_cast<int>(local.tm_gmtoff)};
}

std::string IsoText(Moment moment)
{
    const std::time_t local = static_cast<std::time_t>(moment.at + moment.utcOffset);
    std::tm fields{};
    gmtime_r(&local, &fields);
    const int offsetMinutes = std::abs(moment.utcOffset) / 60;
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", fields.tm_year + 1900,
                  fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec,
                  moment.utcOffset < 0 ? '-' : '+', offsetMinutes / 60, offsetMinutes % 60);
    return text;
}

} // namespace quorvale
