#include "platform/atomic_file.h"
#include "platform/final_path_win.h"
#include "platform/utf.h"
#include "platform/win_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <random>
#include <sys/stat.h>
#include <windows.h>

namespace sepmet {
namespace {

// The file a link at `path` finally names, so that the link stays and its file is replaced.
std::string ResolvedTarget(const std::string& path) {
    const std::u16string wide = FromUtf8(path);
    const DWORD attributes = GetFileAttributesW(WidePointer(wide));
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
    const std::optional<std::u16string> final = FinalPath(wide);
    return final ? ToUtf8(*final) : path;
}

} // namespace

AtomicFile::AtomicFile(const std::string& target) : target_(ResolvedTarget(target)) {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x~", static_cast<unsigned>(random()));
        beside_ = target_ + suffix;
        fd_ = ::_wopen(WidePointer(FromUtf8(beside_)),
                       _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                       _S_IREAD | _S_IWRITE);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    if (fd_ < 0) {
        error_ = "Cannot create \"" + target_ + "\": " + std::strerror(errno);
        beside_.clear();
    }
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0)
        ::_close(fd_);
    if (!beside_.empty())
        DeleteFileW(WidePointer(FromUtf8(beside_)));
}

std::string AtomicFile::Commit() {
    if (fd_ < 0)
        return error_;
    std::string reason;
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
    if (handle == INVALID_HANDLE_VALUE || !FlushFileBuffers(handle))
        reason = SystemErrorText(GetLastError());
    if (::_close(fd_) != 0 && reason.empty())
        reason = std::strerror(errno);
    fd_ = -1;
    // The rename reaches the disk before MoveFileExW returns (MOVEFILE_WRITE_THROUGH).
    if (reason.empty() &&
        !MoveFileExW(WidePointer(FromUtf8(beside_)), WidePointer(FromUtf8(target_)),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        reason = SystemErrorText(GetLastError());
    if (!reason.empty())
        return "Cannot write \"" + target_ + "\": " + reason; // the destructor removes the file
    beside_.clear();
    return {};
}

} // namespace sepmet
