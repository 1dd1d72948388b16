#include "platform/system_log.h"

namespace sepmet {

std::string SystemLogMessage(const SystemLogEntry& entry) {
    return "sepmet audit trail " + entry.trail + ": event " + std::to_string(entry.seq) +
           ", hash " + entry.hash + " (" + entry.trailPath + ")";
}

} // namespace sepmet
