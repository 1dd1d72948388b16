#pragma once
// Who, where, when and with which program an event is recorded.

#include "resources/version.h"

#include <string>

namespace sepmet::audit {

// The program version every event carries.
inline constexpr const char* kProgramVersion = kVersionText;

// UTC, ISO 8601 with milliseconds: "2026-12-10T10:49:23.123Z".
std::string UtcTimestampNow();

// The login name of the user the process runs for (the account of the real user id; $LOGNAME or
// $USER when the account database does not know it; else the numeric id).
std::string LoginName();

// The host name of the machine; "localhost" when the system gives none.
std::string HostName();

} // namespace sepmet::audit
