#include "platform/opener_win.h"

#include "platform/utf.h"

// clang-format off
#include <windows.h> // first: the other Windows headers need its types
#include <shellapi.h>
// clang-format on

namespace sepmet {

void ShellOpener::Open(const std::string& path) {
    const std::u16string wide = FromUtf8(path);
    ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(wide.c_str()), nullptr,
                  nullptr, SW_SHOWNORMAL);
}

} // namespace sepmet
