#include "platform/temp_file.h"
#include "platform/utf.h"
#include "platform/win_text.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace sepmet {
namespace {

constexpr unsigned kNumbers = 0xFFFF; // 1 ... FFFF; 0 would ask the system to pick and create

std::string Failure(const std::string& folder, const std::string& reason) {
    return "Cannot reserve a temporary file name in \"" + folder + "\": " + reason;
}

} // namespace

// The user's temporary folder as Windows gives it (%TMP%, %TEMP%, %USERPROFILE%, the Windows
// folder), without the trailing backslash.
std::string TemporaryFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    std::string folder = n > 0 && n <= MAX_PATH ? ToUtf8(FromWide(buffer)) : std::string(".");
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    return folder;
}

ReservedFile ReserveTemporaryFile(const std::string& folder, std::string_view prefix,
                                  std::string_view suffix) {
    ReservedFile result;
    const std::u16string wideFolder = FromUtf8(folder);
    const std::u16string widePrefix = FromUtf8(prefix);
    // GetTempFileNameW forms the system's name for each number ("<prefix>XXXX.TMP"); the file is
    // created here, exclusively, so that a number whose companion is taken can be skipped.
    // Like the system, the search starts from a clock-derived number.
    unsigned number = static_cast<unsigned>(GetTickCount() % kNumbers) + 1;
    for (unsigned tried = 0; tried < kNumbers; ++tried, number = number % kNumbers + 1) {
        wchar_t reservedName[MAX_PATH + 1] = {};
        if (GetTempFileNameW(WidePointer(wideFolder), WidePointer(widePrefix), number,
                             reservedName) == 0) {
            result.error = Failure(folder, SystemErrorText(GetLastError()));
            return result;
        }
        const HANDLE reservation = CreateFileW(reservedName, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (reservation == INVALID_HANDLE_VALUE) {
            const DWORD code = GetLastError();
            if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
                continue;
            result.error = Failure(folder, SystemErrorText(code));
            return result;
        }
        CloseHandle(reservation);
        const std::u16string reserved = FromWide(reservedName);
        const std::u16string path = reserved + FromUtf8(suffix);
        const int fd =
            ::_wopen(WidePointer(path), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                     _S_IREAD | _S_IWRITE);
        if (fd < 0) {
            const int error = errno;
            // The empty reservation is ours and useless without its companion.
            DeleteFileW(reservedName);
            if (error == EEXIST)
                continue;
            result.error = Failure(folder, std::strerror(error));
            return result;
        }
        result.reservedName = ToUtf8(reserved);
        result.path = ToUtf8(path);
        result.file = FileDescriptor(fd);
        return result;
    }
    result.error = Failure(folder, "all names are taken");
    return result;
}

} // namespace sepmet
