#include "platform/final_path_win.h"
#include "platform/output_guard.h"
#include "platform/utf.h"
#include "platform/win_text.h"

#include <cstdio>
#include <windows.h>

namespace sepmet {
namespace {

// Windows compares file names without regard to case.
std::u16string Folded(std::u16string path) {
    if (!path.empty())
        CharUpperBuffW(reinterpret_cast<wchar_t*>(path.data()), static_cast<DWORD>(path.size()));
    return path;
}

} // namespace

// The volume serial number and file index of an existing file (links followed), else the full
// path of its nearest existing folder, links followed, with the rest of the path after it.
std::string FileIdentity(const std::string& path) {
    const std::u16string wide = FromUtf8(path);
    HANDLE file = CreateFileW(WidePointer(wide), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info{};
        const bool known = GetFileInformationByHandle(file, &info);
        CloseHandle(file);
        if (known) {
            char identity[64];
            std::snprintf(identity, sizeof identity, "file:%08lx:%08lx%08lx",
                          info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
            return identity;
        }
    }
    std::u16string folder = FullWindowsPath(wide);
    std::u16string rest;
    while (!folder.empty()) {
        const std::size_t slash = folder.find_last_of(u"\\/");
        if (slash == std::u16string::npos)
            break;
        rest = folder.substr(slash) + rest;
        folder.resize(slash);
        // "C:" alone would name the drive's current folder; its root is meant.
        const std::u16string probe = folder.empty()                            ? u"\\"
                                     : folder.size() == 2 && folder[1] == u':' ? folder + u"\\"
                                                                               : folder;
        if (const std::optional<std::u16string> final = FinalPath(probe))
            return "path:" + ToUtf8(Folded(*final + rest));
    }
    return "path:" + ToUtf8(Folded(FullWindowsPath(wide)));
}

} // namespace sepmet
