#include "platform/temp_file.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace sepmet {
namespace {

constexpr unsigned kNumbers = 0xFFFF; // 1 ... FFFF; 0 would ask for no uniqueness at all

int CreateExclusive(const std::string& path) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

std::string Failure(const std::string& folder, int error) {
    return "Cannot reserve a temporary file name in \"" + folder + "\": " + std::strerror(error);
}

// Like the system's reservation, the search starts from a clock-derived number, so that two
// programs reserving at once rarely probe the same names.
unsigned FirstNumber() {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<unsigned>((ticks ^ ::getpid()) % kNumbers) + 1;
}

} // namespace

std::string TemporaryFolder() {
    const char* value = std::getenv("TMPDIR");
    std::string folder = value && *value ? value : "/tmp";
    // A relative folder is taken from the current folder now, so the written path that the
    // opener and the operator see is absolute.
    if (folder.front() != '/') {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(folder, error);
        if (!error)
            folder = absolute.lexically_normal().string();
    }
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

ReservedFile ReserveTemporaryFile(const std::string& folder, std::string_view prefix,
                                  std::string_view suffix) {
    ReservedFile result;
    const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    unsigned number = FirstNumber();
    for (unsigned tried = 0; tried < kNumbers; ++tried, number = number % kNumbers + 1) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%X", number);
        std::string reserved = base;
        reserved += prefix;
        reserved += digits;
        reserved += ".TMP";
        const int reservedFd = CreateExclusive(reserved);
        if (reservedFd < 0) {
            if (errno == EEXIST)
                continue;
            result.error = Failure(folder, errno);
            return result;
        }
        ::close(reservedFd);
        std::string path = reserved;
        path += suffix;
        const int fd = CreateExclusive(path);
        if (fd < 0) {
            const int error = errno;
            // The empty reservation is ours and useless without its companion.
            ::unlink(reserved.c_str());
            if (error == EEXIST)
                continue;
            result.error = Failure(folder, error);
            return result;
        }
        result.reservedName = std::move(reserved);
        result.path = std::move(path);
        result.file = FileDescriptor(fd);
        return result;
    }
    result.error = Failure(folder, EEXIST) + " (all names are taken)";
    return result;
}

} // namespace sepmet
