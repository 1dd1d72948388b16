#include "platform/file_system.h"
#include "platform/utf.h"
#include "platform/win_text.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace sepmet {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(WidePointer(FromUtf8(path)));
}

} // namespace

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : ".";
    // "C:\" and "\" keep their separator: they name the root.
    if (slash == 0 || (slash == 2 && path[1] == ':'))
        return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

bool CreatePrivateFolders(const std::string& folder, std::string& error) {
    for (std::size_t end = 1; end <= folder.size(); ++end) {
        if (end != folder.size() && !IsSeparator(folder[end]))
            continue;
        const std::string part = folder.substr(0, end);
        // A drive ("C:") or a share ("\\server\share") is never created.
        if (part.size() == 2 && part[1] == ':')
            continue;
        if (part.starts_with("\\\\") && part.find_first_of("\\/", 2) == std::string::npos)
            continue;
        if (CreateDirectoryW(WidePointer(FromUtf8(part)), nullptr))
            continue;
        const DWORD code = GetLastError();
        if (code == ERROR_ALREADY_EXISTS || code == ERROR_ACCESS_DENIED) {
            const DWORD attributes = Attributes(part);
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
                continue;
        }
        error = "cannot create the folder " + part + ": " + SystemErrorText(code);
        return false;
    }
    return true;
}

bool OnNetworkFileSystem(const std::string& folder) {
    if (folder.starts_with("\\\\") || folder.starts_with("//"))
        return true;
    wchar_t full[MAX_PATH + 1];
    const DWORD n = GetFullPathNameW(WidePointer(FromUtf8(folder)), MAX_PATH + 1, full, nullptr);
    if (n == 0 || n > MAX_PATH || full[1] != L':')
        return n != 0 && n <= MAX_PATH && full[0] == L'\\' && full[1] == L'\\';
    const wchar_t root[] = {full[0], L':', L'\\', L'\0'};
    return GetDriveTypeW(root) == DRIVE_REMOTE;
}

int CreateOrTruncate(const std::string& path) {
    return ::_wopen(WidePointer(FromUtf8(path)),
                    _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
}

bool IsRegularFile(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const std::string& path) {
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

} // namespace sepmet
