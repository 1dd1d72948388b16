#include "audit/audit_store.h"
#include "platform/utf.h"
#include "platform/win_text.h"

// clang-format off
#include <windows.h> // first: the other Windows headers need its types
#include <knownfolders.h>
#include <shlobj.h>
// clang-format on

namespace sepmet::audit {

// The user's local application data ("C:\Users\<user>\AppData\Local"), which stays on the
// machine, unlike the roaming profile.
std::string DefaultStorePath() {
    wchar_t* folder = nullptr;
    std::string path;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder)) && folder &&
        *folder)
        path = ToUtf8(FromWide(folder)) + "\\sepmet\\audit.sqlite";
    CoTaskMemFree(folder);
    return path;
}

} // namespace sepmet::audit
