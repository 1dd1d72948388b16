#include "platform/private_folders.h"
#include "platform/utf.h"
#include "platform/win_text.h"

// clang-format off
#include <windows.h> // first: the security headers need its types
#include <sddl.h>
// clang-format on

namespace sepmet {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// A security descriptor whose only entry gives the user the process runs for full control, not
// inherited from the folder above (the counterpart of modes 0700 and 0600): under
// %LOCALAPPDATA% that changes nothing, elsewhere (a trail named by "AuditFile" or --audit in a
// shared folder) it keeps other users out. Folders pass the entry on to what is made in them.
class PrivateSecurity {
public:
    explicit PrivateSecurity(bool folder) {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
            return;
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::string buffer(size, '\0');
        wchar_t* sid = nullptr;
        if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
            ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) {
            const std::u16string sddl = u"D:P(A;" + std::u16string(folder ? u"OICI" : u"") +
                                        u";FA;;;" + FromWide(sid) + u")";
            ConvertStringSecurityDescriptorToSecurityDescriptorW(WidePointer(sddl), SDDL_REVISION_1,
                                                                 &descriptor_, nullptr);
            LocalFree(sid);
        }
        CloseHandle(token);
        attributes_.nLength = sizeof attributes_;
        attributes_.lpSecurityDescriptor = descriptor_;
        attributes_.bInheritHandle = FALSE;
    }
    ~PrivateSecurity() {
        if (descriptor_)
            LocalFree(descriptor_);
    }
    PrivateSecurity(const PrivateSecurity&) = delete;
    PrivateSecurity& operator=(const PrivateSecurity&) = delete;

    // Nothing when the user's identity could not be read: the system's default then applies.
    SECURITY_ATTRIBUTES* Attributes() { return descriptor_ ? &attributes_ : nullptr; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

} // namespace

std::string CreatePrivateFolders(const std::string& folder) {
    PrivateSecurity security(true);
    for (std::size_t end = 1; end <= folder.size(); ++end) {
        if (end != folder.size() && !IsSeparator(folder[end]))
            continue;
        const std::string part = folder.substr(0, end);
        // A drive ("C:") or a share ("\\server\share") is never created.
        if (part.size() == 2 && part[1] == ':')
            continue;
        if (part.starts_with("\\\\") && part.find_first_of("\\/", 2) == std::string::npos)
            continue;
        const std::u16string wide = FromUtf8(part);
        if (CreateDirectoryW(WidePointer(wide), security.Attributes()))
            continue;
        const DWORD code = GetLastError();
        if (code == ERROR_ALREADY_EXISTS || code == ERROR_ACCESS_DENIED) {
            const DWORD attributes = GetFileAttributesW(WidePointer(wide));
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
                continue;
        }
        return "cannot create the folder " + part + ": " + SystemErrorText(code);
    }
    return {};
}

std::string CreatePrivateFile(const std::string& path) {
    PrivateSecurity security(false);
    HANDLE file = CreateFileW(WidePointer(FromUtf8(path)), GENERIC_WRITE, 0, security.Attributes(),
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        return code == ERROR_FILE_EXISTS ? std::string()
                                         : "cannot create " + path + ": " + SystemErrorText(code);
    }
    CloseHandle(file);
    return {};
}

} // namespace sepmet
