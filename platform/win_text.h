#pragma once
// Windows' wide strings and the core's UTF-16 texts are the same units; these views convert
// between them and give the system's messages for error codes.

#include <string>
#include <string_view>

namespace sepmet {

inline const wchar_t* WidePointer(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::u16string FromWide(const wchar_t* text) {
    return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}

// The full path Windows makes of `path` (GetFullPathNameW: relative to the working folder,
// slashes turned into backslashes); `path` itself when Windows cannot make one.
std::u16string FullWindowsPath(const std::u16string& path);

// The system's message for a Win32 error code or HRESULT, in UTF-8, without the line break;
// "error 0x…" when the system has none.
std::string SystemErrorText(unsigned long code);

} // namespace sepmet
