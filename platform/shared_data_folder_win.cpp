#include "platform/shared_data_folder.h"
#include "platform/utf.h"
#include "platform/win_text.h"

// clang-format off
#include <windows.h> // first: the other Windows headers need its types
#include <knownfolders.h>
#include <shlobj.h>
// clang-format on

namespace sepmet {

std::string SharedDataFile(const std::string& folder, const char* relativePath) {
    std::string path = folder;
    if (path.empty() || (path.back() != '\\' && path.back() != '/'))
        path += '\\';
    for (const char* p = relativePath; *p; ++p)
        path += *p == '/' ? '\\' : *p;
    return path;
}

// The public documents folder ("C:\Users\Public\Documents"), where the host installation keeps
// its templates for every user.
std::optional<std::string> SystemSharedDataFolder() {
    wchar_t* path = nullptr;
    const HRESULT hr = SHGetKnownFolderPath(FOLDERID_PublicDocuments, 0, nullptr, &path);
    std::optional<std::string> folder;
    if (SUCCEEDED(hr) && path && *path)
        folder = ToUtf8(FromWide(path));
    CoTaskMemFree(path);
    return folder;
}

} // namespace sepmet
