#pragma once
// Whether the Windows build runs under Wine, whose system libraries differ from Windows' in
// documented ways (its MSXML takes only texts as stylesheet parameters). Always false on Linux.
#if defined(_WIN32)
#include <windows.h>
#endif

namespace sepmet::testing {

inline bool RunningUnderWine() {
#if defined(_WIN32)
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

} // namespace sepmet::testing
