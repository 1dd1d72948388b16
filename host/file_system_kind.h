#pragma once
// Whether a file lives on a network file system, where SQLite's WAL journal is unsafe (its
// shared-memory index needs one machine's memory).

#include <filesystem>

namespace sepmet::host {

// True for the statfs magic numbers of NFS, SMB, CIFS and SMB2.
bool IsNetworkFileSystemMagic(long magic);

// True when `path` (or, for a file not yet created, its folder) is on a network file system;
// false when that cannot be told.
bool IsOnNetworkFileSystem(const std::filesystem::path& path);

} // namespace sepmet::host
