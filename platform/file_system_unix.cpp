#include "platform/file_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>

namespace sepmet {
namespace {

// File system magic numbers of the network file systems (statfs f_type).
constexpr unsigned long kNfsMagic = 0x6969;
constexpr unsigned long kSmbMagic = 0x517B;
constexpr unsigned long kCifsMagic = 0xFF534D42;
constexpr unsigned long kSmb2Magic = 0xFE534D42;

} // namespace

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool CreatePrivateFolders(const std::string& folder, std::string& error) {
    for (std::size_t end = 1; end <= folder.size(); ++end) {
        if (end != folder.size() && folder[end] != '/')
            continue;
        const std::string part = folder.substr(0, end);
        if (::mkdir(part.c_str(), 0700) == 0) {
            ::chmod(part.c_str(), 0700); // whatever the umask
        } else if (errno != EEXIST) {
            error = "cannot create the folder " + part + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

bool OnNetworkFileSystem(const std::string& folder) {
    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0)
        return false;
    const auto magic = static_cast<unsigned long>(info.f_type) & 0xFFFFFFFFul;
    return magic == kNfsMagic || magic == kSmbMagic || magic == kCifsMagic || magic == kSmb2Magic;
}

int CreateOrTruncate(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace sepmet
