#pragma once
// Where a SQLite file lives and how to read one that may not be written: a network file system
// cannot hold WAL's shared-memory index, and a WAL file in a folder the reader may not write can
// only be read as an unchanging file. Paths are UTF-8.

#include <string>

namespace sepmet {

// True for the statfs magic numbers of NFS, SMB, CIFS and SMB2 (Linux only).
bool IsNetworkFileSystemMagic(long magic);

// True when `path` (or, for a file not yet created, its nearest existing folder) is on a network
// file system (on Windows: a UNC path or a network drive); false when that cannot be told.
bool IsOnNetworkFileSystem(const std::string& path);

// The "file:" URI that opens `file` (made absolute) read-only as immutable: every byte outside
// the unreserved characters and "/" percent-encoded, then "?mode=ro&immutable=1".
std::string ImmutableReadOnlyUri(const std::string& file);

// The percent-encoding of that URI: `absolute` with every byte outside the unreserved characters
// and "/" written as %XX.
std::string PercentEncodedPath(const std::string& absolute);

} // namespace sepmet
