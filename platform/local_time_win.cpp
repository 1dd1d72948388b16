#include "platform/local_time.h"
#include "platform/win_text.h"

#include <cstdio>
#include <ctime>
#include <windows.h>

namespace sepmet {
namespace {

// 100-nanosecond intervals between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kEpochDifference = 116444736000000000LL;
constexpr std::int64_t kTicksPerSecond = 10000000LL;

// Local time through the time zone rules Windows keeps for every year, so dates before 1970
// convert like any other (the C runtime's localtime refuses them). False outside the years
// Windows can represent (1601 ... 30827).
bool ToLocalTime(std::int64_t seconds, SYSTEMTIME& local) {
    constexpr std::int64_t kFirst = -kEpochDifference / kTicksPerSecond;
    constexpr std::int64_t kLast = 910692730085LL; // 30827-12-31 23:59:59
    if (seconds < kFirst || seconds > kLast)
        return false;
    const std::uint64_t ticks =
        static_cast<std::uint64_t>(seconds * kTicksPerSecond + kEpochDifference);
    FILETIME utcFile;
    utcFile.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    utcFile.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    SYSTEMTIME utc;
    return FileTimeToSystemTime(&utcFile, &utc) &&
           SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
}

std::u16string Trimmed(const wchar_t* buffer, int written) {
    // The count includes the terminating NUL.
    return written > 1 ? std::u16string(reinterpret_cast<const char16_t*>(buffer),
                                        static_cast<std::size_t>(written - 1))
                       : std::u16string();
}

} // namespace

void ReadLocalTimeZone() {
    // Windows answers each conversion with the zone as it is now; the C runtime's copy is
    // refreshed for any code that still asks it.
    _tzset();
}

std::u16string FormatChromatogramDate(std::int64_t secondsSinceEpoch) {
    SYSTEMTIME local;
    if (!ToLocalTime(secondsSinceEpoch, local))
        return {};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02u.%02u.%02u  %02u:%02u", local.wDay, local.wMonth,
                  local.wYear % 100u, local.wHour, local.wMinute);
    std::u16string text;
    for (const char* p = buffer; *p; ++p)
        text.push_back(static_cast<char16_t>(*p));
    return text;
}

std::u16string FormatUserDateTime(std::time_t when) {
    SYSTEMTIME local;
    if (!ToLocalTime(static_cast<std::int64_t>(when), local))
        return {};
    wchar_t date[128];
    wchar_t time[128];
    const int dateLength =
        GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 128);
    const int timeLength = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &local, nullptr, time, 128);
    return Trimmed(date, dateLength) + u' ' + Trimmed(time, timeLength);
}

} // namespace sepmet
