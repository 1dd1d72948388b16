#include "platform/file_system.h"
#include "platform/utf.h"
#include "platform/win_text.h"

#include <windows.h>

namespace sepmet {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : ".";
    // "C:\" and "\" keep their separator: they name the root.
    if (slash == 0 || (slash == 2 && path[1] == ':'))
        return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

FileState StateOfFile(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(WidePointer(FromUtf8(path)), GetFileExInfoStandard, &data)) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
            return {};
        return {FileState::Unreadable, 0, SystemErrorText(code)};
    }
    // A device name ("CON", "NUL") has no ordinary file attributes either.
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
        return {FileState::Other, 0, {}};
    return {FileState::Regular,
            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
            {}};
}

} // namespace sepmet
