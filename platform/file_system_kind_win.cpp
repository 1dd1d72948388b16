#include "platform/file_system_kind.h"
#include "platform/utf.h"
#include "platform/win_text.h"

#include <algorithm>
#include <windows.h>

namespace sepmet {
namespace {

std::u16string FullPath(const std::string& path) {
    return FullWindowsPath(FromUtf8(path));
}

} // namespace

bool IsNetworkFileSystemMagic(long) {
    return false;
}

bool IsOnNetworkFileSystem(const std::string& path) {
    const std::u16string full = FullPath(path);
    if (full.starts_with(u"\\\\") || full.starts_with(u"//"))
        return true; // a UNC path: a share on another machine
    if (full.size() < 2 || full[1] != u':')
        return false;
    const wchar_t root[] = {static_cast<wchar_t>(full[0]), L':', L'\\', L'\0'};
    return GetDriveTypeW(root) == DRIVE_REMOTE;
}

// "file:/C:/dir/trail.sqlite" (SQLite drops the '/' before a drive) or "file:////server/share/x"
// (an empty authority, then the UNC path).
std::string ImmutableReadOnlyUri(const std::string& file) {
    std::string absolute = ToUtf8(FullPath(file));
    std::replace(absolute.begin(), absolute.end(), '\\', '/');
    if (!absolute.starts_with("/"))
        absolute.insert(0, "/");
    else if (absolute.starts_with("//"))
        absolute.insert(0, "//");
    return "file:" + PercentEncodedPath(absolute) + "?mode=ro&immutable=1";
}

} // namespace sepmet
