#include "platform/file_system_kind.h"

#include <cctype>
#include <sys/vfs.h>

namespace sepmet {

bool IsNetworkFileSystemMagic(long magic) {
    switch (static_cast<unsigned long>(magic) & 0xffffffffUL) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
        return true;
    default:
        return false;
    }
}

bool IsOnNetworkFileSystem(const std::filesystem::path& path) {
    struct statfs info {};
    std::filesystem::path probe = path;
    while (!probe.empty() && statfs(probe.c_str(), &info) != 0) {
        if (probe == probe.parent_path())
            return false;
        probe = probe.parent_path();
    }
    return !probe.empty() && IsNetworkFileSystemMagic(static_cast<long>(info.f_type));
}

std::string ImmutableReadOnlyUri(const std::filesystem::path& file) {
    static const char hex[] = "0123456789ABCDEF";
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(file, error);
    std::string uri = "file:";
    for (unsigned char c : (error ? file : absolute).string()) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri + "?mode=ro&immutable=1";
}

} // namespace sepmet
