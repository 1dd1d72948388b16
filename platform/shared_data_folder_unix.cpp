#include "platform/shared_data_folder.h"

#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace sepmet {
namespace {

std::vector<std::string> DataDirectories() {
    const char* value = std::getenv("XDG_DATA_DIRS");
    std::string_view list = value && *value ? value : "/usr/local/share:/usr/share";
    std::vector<std::string> dirs;
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        std::string dir(list.substr(0, colon));
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
        while (dir.size() > 1 && dir.back() == '/')
            dir.pop_back();
        if (!dir.empty() && dir.front() == '/')
            dirs.push_back(dir);
    }
    return dirs;
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

std::string SharedDataFile(const std::string& folder, const char* relativePath) {
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    return path + relativePath;
}

std::optional<std::string> SystemSharedDataFolder() {
    const std::vector<std::string> dirs = DataDirectories();
    if (dirs.empty())
        return std::nullopt;
    for (const std::string& dir : dirs) {
        if (IsRegularFile(SharedDataFile(dir, kReportTemplateRelativePath)))
            return dir;
    }
    return dirs.front();
}

} // namespace sepmet
