#pragma once
// The shared data folder a test reads its templates from, on either system, for the scope. Scopes
// nest: the end of an inner one brings back the outer one's folder.

#include "platform/shared_data_folder.h"

#include <optional>
#include <string>
#include <vector>

namespace sepmet::testing {

class ScopedSharedDataFolder {
public:
    // `folder` in place of the system's; nullopt: no shared data folder at all.
    explicit ScopedSharedDataFolder(std::optional<std::string> folder) {
        Active().push_back(folder);
        SetSharedDataFolder(std::move(folder));
    }
    ~ScopedSharedDataFolder() {
        Active().pop_back();
        if (Active().empty())
            ResetSharedDataFolder();
        else
            SetSharedDataFolder(Active().back());
    }
    ScopedSharedDataFolder(const ScopedSharedDataFolder&) = delete;
    ScopedSharedDataFolder& operator=(const ScopedSharedDataFolder&) = delete;

private:
    static std::vector<std::optional<std::string>>& Active() {
        static std::vector<std::optional<std::string>> folders;
        return folders;
    }
};

// The folder of the shipped template in the source tree.
inline std::string ShippedSharedDataFolder() {
    return SEPMET_SOURCE_DIR "/share";
}

} // namespace sepmet::testing
