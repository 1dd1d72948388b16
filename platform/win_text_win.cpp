#include "platform/utf.h"
#include "platform/win_text.h"

#include <cstdio>
#include <windows.h>

namespace sepmet {

std::u16string FullWindowsPath(const std::u16string& path) {
    const DWORD size = GetFullPathNameW(WidePointer(path), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::u16string full(size, u'\0');
    const DWORD n =
        GetFullPathNameW(WidePointer(path), size, reinterpret_cast<wchar_t*>(full.data()), nullptr);
    if (n == 0 || n >= size)
        return path;
    full.resize(n);
    return full;
}

std::string SystemErrorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::u16string text = n ? FromWide(buffer) : std::u16string();
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' '))
        text.pop_back();
    if (!text.empty())
        return ToUtf8(text);
    char fallback[32];
    std::snprintf(fallback, sizeof fallback, "error 0x%08lX", code);
    return fallback;
}

} // namespace sepmet
