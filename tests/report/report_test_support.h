#pragma once
// Scoped environment for the report tests; their folders are TemporaryFolder.

#include "tests/support/message_box_recorder.h"
#include "tests/support/read_file.h"
#include "tests/support/temporary_folder.h"

#include <optional>
#include <string>

namespace sepmet::testing {

// Sets (or with nullopt unsets) an environment variable for the scope; TZ changes take effect
// at the next conversion because the conversions call tzset.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> saved_;
};

} // namespace sepmet::testing
