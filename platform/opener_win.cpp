#include "platform/opener_win.h"

#include "platform/utf.h"

// clang-format off
#include <windows.h> // first: the other Windows headers need its types
#include <shellapi.h>
// clang-format on

namespace sepmet {

bool ShellOpener::Open(const std::string& path) {
    const std::u16string wide = FromUtf8(path);
    // ShellExecuteW answers a value above 32 when the file was handed to its program.
    const HINSTANCE answer =
        ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(wide.c_str()), nullptr,
                      nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(answer) > 32;
}

} // namespace sepmet
