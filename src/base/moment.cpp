#include "moment.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace quorvale {

namespace {

constexpr std::int64_t SecondsPerDay = 24 * 60 * 60;

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// One or two digits, as a number; nothing when the text is anything else.
std::optional<int> smallNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 2 || !isDigit(digits.front()) || !isDigit(digits.back()))
        return std::nullopt;
    int value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

std::string twoDigits(int value)
{
    return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

struct CivilDate {
    std::int64_t year;
    int month;
    int day;
};

// The proleptic Gregorian date of a day counted from 1970-01-01, without the C library's time zone.
CivilDate civilDate(std::int64_t days)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

} // namespace

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

int SecondOfDay(Moment moment)
{
    const std::int64_t local = moment.at + moment.utcOffset;
    return static_cast<int>(((local % SecondsPerDay) + SecondsPerDay) % SecondsPerDay);
}

Moment AtSecondOfDay(Moment moment, int secondOfDay)
{
    moment.at += secondOfDay - SecondOfDay(moment);
    return moment;
}

std::string TimeOfDayText(Moment moment)
{
    const int second = SecondOfDay(moment);
    return twoDigits(second / 3600) + ':' + twoDigits(second / 60 % 60) + ':' + twoDigits(second % 60);
}

std::string DateTimeText(Moment moment)
{
    const std::int64_t local = moment.at + moment.utcOffset;
    const std::int64_t day = (local - SecondOfDay(moment)) / SecondsPerDay;
    const CivilDate date = civilDate(day);
    std::string year = std::to_string(date.year);
    if (date.year >= 0 && year.size() < 4)
        year.insert(0, 4 - year.size(), '0');
    return year + '-' + twoDigits(date.month) + '-' + twoDigits(date.day) + ' ' + TimeOfDayText(moment);
}

std::optional<int> ParseClockTime(std::string_view text)
{
    text = trimmed(text);
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon + 3 > text.size())
        return std::nullopt;
    const auto hour = smallNumber(text.substr(0, colon));
    const auto minute = smallNumber(text.substr(colon + 1, 2));
    std::string_view rest = text.substr(colon + 3);
    std::optional<int> second = 0;
    if (!rest.empty() && rest.front() == ':') {
        second = rest.size() >= 3 ? smallNumber(rest.substr(1, 2)) : std::nullopt;
        rest.remove_prefix(std::min<std::size_t>(rest.size(), 3));
    }
    if (!hour || !minute || !second || *minute > 59 || *second > 59)
        return std::nullopt;

    std::string half(trimmed(rest));
    for (char& c : half)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const int pastHour = *minute * 60 + *second;
    if (half.empty())
        return *hour <= 23 ? std::optional(*hour * 3600 + pastHour) : std::nullopt;
    if ((half != "AM" && half != "PM") || *hour < 1 || *hour > 12)
        return std::nullopt;
    // 12 AM is midnight and 12 PM is noon.
    return (*hour % 12 + (half == "PM" ? 12 : 0)) * 3600 + pastHour;
}

} // namespace quorvale
