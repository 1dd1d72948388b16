#pragma once
// Windows only: the path a file finally has once every link and junction on the way is followed.

#include <optional>
#include <string>

namespace sepmet {

// The final path of the existing file or folder `path` names ("C:\dir\file", "\\server\share\x"),
// or nothing when it cannot be opened.
std::optional<std::u16string> FinalPath(const std::u16string& path);

} // namespace sepmet
