#include "platform/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace sepmet {
namespace {

std::string Reason(const std::string& what, const std::string& path, int error) {
    return what + " \"" + path + "\": " + std::strerror(error);
}

// The file a link at `path` finally names, so that the link stays and its file is replaced.
std::string ResolvedTarget(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error))
        return path;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    return error ? path : resolved.string();
}

} // namespace

AtomicFile::AtomicFile(const std::string& target) : target_(ResolvedTarget(target)) {
    struct stat existing {};
    const bool replaces = ::stat(target_.c_str(), &existing) == 0;
    std::random_device random;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x~", static_cast<unsigned>(random()));
        beside_ = target_ + suffix;
        fd_ = ::open(beside_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    if (fd_ < 0) {
        error_ = Reason("Cannot create", target_, errno);
        beside_.clear();
        return;
    }
    if (replaces) // the new file keeps the permissions of the one it replaces
        ::fchmod(fd_, existing.st_mode & 07777);
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!beside_.empty())
        ::unlink(beside_.c_str());
}

std::string AtomicFile::Commit() {
    if (fd_ < 0)
        return error_;
    int error = 0;
    if (::fsync(fd_) != 0)
        error = errno;
    if (::close(fd_) != 0 && error == 0)
        error = errno;
    fd_ = -1;
    if (error == 0 && ::rename(beside_.c_str(), target_.c_str()) != 0)
        error = errno;
    if (error != 0)
        return Reason("Cannot write", target_, error); // the destructor removes the file beside
    beside_.clear();
    // The rename itself reaches the disk with the folder.
    const std::string folder = std::filesystem::path(target_).parent_path().string();
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

} // namespace sepmet
