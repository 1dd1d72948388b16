#include "audit/event_identity.h"
#include "platform/utf.h"
#include "platform/win_text.h"

#include <cstdio>
#include <cstdlib>
#include <windows.h>

namespace sepmet::audit {

std::string UtcTimestampNow() {
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", utc.wYear,
                  utc.wMonth, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond, utc.wMilliseconds);
    return buffer;
}

// The account name of the user the process runs for.
std::string LoginName() {
    wchar_t buffer[257];
    DWORD size = 257;
    if (GetUserNameW(buffer, &size) && buffer[0])
        return ToUtf8(FromWide(buffer));
    for (const char* name : {"USERNAME", "LOGNAME", "USER"})
        if (const char* value = std::getenv(name); value && *value)
            return value;
    return "unknown";
}

// The NetBIOS name of the computer.
std::string HostName() {
    wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(buffer, &size) || !buffer[0])
        return "localhost";
    return ToUtf8(FromWide(buffer));
}

} // namespace sepmet::audit
