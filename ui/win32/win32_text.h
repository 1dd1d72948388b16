#pragma once
// UTF-16 texts between the core (char16_t) and the Windows API (wchar_t, 16 bits here).

#include "ui/win32/windows_api.h"

#include <string>
#include <string_view>

namespace sepmet::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::wstring ToWide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

inline std::u16string FromWide(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

// The text of a window (caption, edit contents, button text).
inline std::u16string WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return FromWide(text);
}

inline void SetWindowText(HWND window, std::u16string_view text) {
    SetWindowTextW(window, ToWide(text).c_str());
}

} // namespace sepmet::win32
