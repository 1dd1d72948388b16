#include "platform/file_system.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace sepmet {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

FileState StateOfFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? FileState{}
                               : FileState{FileState::Unreadable, 0, std::strerror(errno)};
    if (!S_ISREG(info.st_mode))
        return {FileState::Other, 0, {}};
    return {FileState::Regular, static_cast<std::uint64_t>(info.st_size), {}};
}

} // namespace sepmet
