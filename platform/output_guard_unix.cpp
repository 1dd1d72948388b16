#include "platform/output_guard.h"

#include <filesystem>
#include <sys/stat.h>

namespace sepmet {

namespace fs = std::filesystem;

// Device and inode of an existing file, else the absolute path with the links of its folders
// and of a dangling link at its end resolved.
std::string FileIdentity(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        return "inode:" + std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
    std::error_code error;
    fs::path current = fs::absolute(path, error);
    for (int hops = 0; hops < 40 && fs::is_symlink(current, error); ++hops) {
        const fs::path next = fs::read_symlink(current, error);
        if (error)
            break;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    const fs::path resolved = fs::weakly_canonical(current, error);
    return "path:" + (error ? current : resolved).lexically_normal().string();
}

} // namespace sepmet
