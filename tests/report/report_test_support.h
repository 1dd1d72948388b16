#pragma once
// Scoped environment and temporary folders for the report tests.

#include "tests/support/message_box_recorder.h"
#include "tests/support/read_file.h"

#include <optional>
#include <string>
#include <vector>

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

// A fresh folder, removed with everything in it at the end of the scope.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string Write(const std::string& relative, const std::string& content) const;
    std::vector<std::string> Names() const; // file names directly inside, sorted

private:
    std::string path_;
};

} // namespace sepmet::testing
