#pragma once
// The few file-system questions the audit trail asks, answered by each system.

#include <string>

namespace sepmet {

// The folder part of `path` ("." when it has none, the root for a file in the root).
std::string FolderOf(const std::string& path);

// Creates `folder` and its missing parents, readable only by the user (mode 0700 on Unix; on
// Windows the folder inherits the user's profile permissions). False with the reason in `error`.
bool CreatePrivateFolders(const std::string& folder, std::string& error);

// Whether `folder` lies on a network file system (NFS, SMB), where SQLite's write-ahead log
// cannot be shared between machines.
bool OnNetworkFileSystem(const std::string& folder);

// Opens `path` for writing, created (readable by everyone who may read the folder) or emptied;
// the descriptor is not inherited by child processes. -1 with errno on failure.
int CreateOrTruncate(const std::string& path);

bool IsRegularFile(const std::string& path);
bool PathExists(const std::string& path);

} // namespace sepmet
