#include "platform/private_folders.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sepmet {

std::string CreatePrivateFolders(const std::string& folder) {
    for (std::size_t end = 1; end <= folder.size(); ++end) {
        if (end != folder.size() && folder[end] != '/')
            continue;
        const std::string part = folder.substr(0, end);
        if (::mkdir(part.c_str(), 0700) == 0)
            ::chmod(part.c_str(), 0700); // whatever the umask
        else if (errno != EEXIST)
            return "cannot create the folder " + part + ": " + std::strerror(errno);
    }
    return {};
}

std::string CreatePrivateFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno == EEXIST ? std::string()
                               : "cannot create " + path + ": " + std::strerror(errno);
    ::fchmod(fd, 0600); // whatever the umask
    ::close(fd);
    return {};
}

} // namespace sepmet
