#pragma once
// The few POSIX calls the tests use for their own set-up, on the Windows C runtime. Included
// into every test source of the Windows build (tests only, never the product).
#if defined(_WIN32)

#include <cstdlib>
#include <ctime>
#include <direct.h>
#include <io.h>
#include <string_view>
#include <sys/stat.h>

// The temporary folder of a test ($TMPDIR) is Windows' %TMP% as well, which GetTempPathW reads
// first.
inline int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && std::getenv(name))
        return 0;
    if (std::string_view(name) == "TMPDIR")
        ::_putenv_s("TMP", value);
    return ::_putenv_s(name, value);
}

// An empty value removes the variable.
inline int unsetenv(const char* name) {
    if (std::string_view(name) == "TMPDIR")
        ::_putenv_s("TMP", "");
    return ::_putenv_s(name, "");
}

// The mode has no meaning for Windows folders.
inline int mkdir(const char* path, int) {
    return ::_mkdir(path);
}

inline std::time_t timegm(std::tm* tm) {
    return ::_mkgmtime(tm);
}

#endif
