#include "platform/console.h"
#include "platform/utf.h"
#include "platform/win_text.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

// clang-format off
#include <windows.h> // first: the other Windows headers need its types
#include <shellapi.h>
// clang-format on

namespace sepmet {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv + 1, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(ToUtf8(FromWide(wide[i])));
    LocalFree(wide);
    return arguments;
}

void UseBinaryStandardStreams() {
    std::fflush(stdout);
    std::fflush(stderr);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

} // namespace sepmet
