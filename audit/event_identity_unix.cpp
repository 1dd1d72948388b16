#include "audit/event_identity.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace sepmet::audit {

std::string UtcTimestampNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm utc{};
    gmtime_r(&now.tv_sec, &utc);
    char buffer[96]; // room for any int the compiler may assume
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(now.tv_nsec / 1000000));
    return buffer;
}

std::string LoginName() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name && *found->pw_name)
        return found->pw_name;
    for (const char* name : {"LOGNAME", "USER"})
        if (const char* value = std::getenv(name); value && *value)
            return value;
    return std::to_string(getuid());
}

std::string HostName() {
    char buffer[HOST_NAME_MAX + 1] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0 || !buffer[0])
        return "localhost";
    return buffer;
}

} // namespace sepmet::audit
