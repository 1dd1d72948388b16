#pragma once
// The few questions about a path that the audit trail asks, answered by each system.

#include <cstdint>
#include <string>

namespace sepmet {

// The folder part of `path` ("." when it has none, the root for a file in the root). On Windows
// both '\' and '/' separate, and a drive ("C:") or its root ("C:\") is a folder.
std::string FolderOf(const std::string& path);

struct FileState {
    enum Kind { Missing, Regular, Other, Unreadable };
    Kind kind = Missing;
    std::uint64_t size = 0; // of a regular file
    std::string reason;     // why it is unreadable
};

// What `path` names, links followed.
FileState StateOfFile(const std::string& path);

} // namespace sepmet
