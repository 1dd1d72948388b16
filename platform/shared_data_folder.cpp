#include "platform/shared_data_folder.h"

#include <utility>

namespace sepmet {
namespace {

// Set: the folder in place of the system's (itself nullopt for none).
std::optional<std::optional<std::string>> replacement;

} // namespace

std::optional<std::string> SharedDataFolder() {
    return replacement ? *replacement : SystemSharedDataFolder();
}

void SetSharedDataFolder(std::optional<std::string> folder) {
    replacement.emplace(std::move(folder));
}

void ResetSharedDataFolder() {
    replacement.reset();
}

} // namespace sepmet
