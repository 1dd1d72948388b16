#pragma once
// Date and time texts of the report: chromatogram dates in local time, and the creation date in
// the user's regional format. Neither changes the process locale or the process time zone.

#include <cstdint>
#include <ctime>
#include <string>

namespace sepmet {

// Reads the local time zone ($TZ, else the system's zone) afresh. The conversions below use the
// zone read last; localtime_r alone reads it only once per process. Reading it costs a look at
// the zone file, so a report reads it once, not for every date.
void ReadLocalTimeZone();

// "%d.%m.%y  %R" (two blanks, 24-hour clock) of `secondsSinceEpoch` in local time, e.g.
// "05.03.24  09:07". Dates before 1970 are converted like any other. A value that the local-time
// conversion cannot represent (a year outside the range of `int`) gives the empty text, so the
// report is still built and the template shows an empty cell rather than a made-up date.
std::u16string FormatChromatogramDate(std::int64_t secondsSinceEpoch);

// The user's short date ("%x") and time ("%X") of `when` in local time, joined by one blank.
// The user's locale is made from the environment (LC_ALL, LC_TIME, LC_CTYPE, LANG, LOCPATH)
// without touching the process locale, and kept until the environment names another one. Without
// a user locale ("C", "POSIX", "C.UTF-8", or one that is not installed) the text is
// "dd.mm.yyyy HH:MM:SS", e.g. "05.03.2024 09:07:00".
std::u16string FormatUserDateTime(std::time_t when);

} // namespace sepmet
