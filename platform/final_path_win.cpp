#include "platform/final_path_win.h"

#include "platform/win_text.h"

#include <windows.h>

namespace sepmet {

std::optional<std::u16string> FinalPath(const std::u16string& path) {
    // No access is asked for: the handle only names the file, so it opens even while another
    // program holds it; FILE_FLAG_BACKUP_SEMANTICS opens folders too.
    HANDLE file =
        CreateFileW(WidePointer(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::u16string final(MAX_PATH, u'\0');
    DWORD n = GetFinalPathNameByHandleW(file, reinterpret_cast<wchar_t*>(final.data()),
                                        static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED);
    if (n >= final.size()) {
        final.resize(n + 1);
        n = GetFinalPathNameByHandleW(file, reinterpret_cast<wchar_t*>(final.data()),
                                      static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED);
    }
    CloseHandle(file);
    if (n == 0 || n >= final.size())
        return std::nullopt;
    final.resize(n);
    if (final.starts_with(u"\\\\?\\UNC\\"))
        return u"\\\\" + final.substr(8);
    if (final.starts_with(u"\\\\?\\"))
        return final.substr(4);
    return final;
}

} // namespace sepmet
