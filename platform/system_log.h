#pragma once
// The system's own log (journald or syslog here, the Windows Event Log there), which the user who
// owns an audit trail cannot rewrite: each recorded event leaves its number and hash there, under
// the identifier of its trail, so that a rewritten, truncated or replaced trail contradicts it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sepmet {

struct SystemLogEntry {
    std::string trail;     // the trail's identifier
    std::int64_t seq = 0;  // the event's number
    std::string hash;      // the event's hash (lowercase hexadecimal)
    std::string trailPath; // where the trail was written; for the reader of the log only
};

class SystemLog {
public:
    virtual ~SystemLog() = default;
    // Writes one entry; a log that cannot take it is passed over in silence.
    virtual void Record(const SystemLogEntry& entry) = 0;
    // Every entry of `trail` the log still holds, oldest first; nothing when the log cannot be
    // read (`reason` then says why).
    virtual std::optional<std::vector<SystemLogEntry>> Read(std::string_view trail,
                                                            std::string& reason) = 0;
};

// The system's log: journald where it runs (read back through the journal), else syslog (which
// cannot be read back).
SystemLog& DefaultSystemLog();

// The message text of an entry: "sepmet audit trail TRAIL: event SEQ, hash HASH (PATH)".
std::string SystemLogMessage(const SystemLogEntry& entry);

} // namespace sepmet
