#pragma once
// Folders and files that hold one user's records (the audit trail, the demo database): other
// users may neither list nor read them, whatever the umask and whichever program makes them.

#include <string>

namespace sepmet {

// Creates every missing folder of `folder` with mode 0700 (on Windows: only the user has access).
// The empty text on success, else an English reason naming the folder that could not be made.
std::string CreatePrivateFolders(const std::string& folder);

// Creates `path` empty with mode 0600 (on Windows: only the user has access) when it does not
// exist; an existing file is left as it is. The empty text on success, else an English reason.
std::string CreatePrivateFile(const std::string& path);

} // namespace sepmet
