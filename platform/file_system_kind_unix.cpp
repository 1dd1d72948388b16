#include "platform/file_system_kind.h"

#include <filesystem>
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

bool IsOnNetworkFileSystem(const std::string& path) {
    struct statfs info {};
    std::filesystem::path probe = path;
    while (!probe.empty() && statfs(probe.c_str(), &info) != 0) {
        if (probe == probe.parent_path())
            return false;
        probe = probe.parent_path();
    }
    return !probe.empty() && IsNetworkFileSystemMagic(static_cast<long>(info.f_type));
}

std::string ImmutableReadOnlyUri(const std::string& file) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(file, error);
    return "file:" + PercentEncodedPath(error ? file : absolute.string()) + "?mode=ro&immutable=1";
}

} // namespace sepmet
