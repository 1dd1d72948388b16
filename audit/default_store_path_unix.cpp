#include "audit/audit_store.h"

#include <cstdlib>

namespace sepmet::audit {

std::string DefaultStorePath() {
    std::string base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && data[0] == '/')
        base = data;
    else if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        base = std::string(home) + "/.local/share";
    else
        return {};
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return (base == "/" ? "" : base) + "/sepmet/audit.sqlite";
}

} // namespace sepmet::audit
