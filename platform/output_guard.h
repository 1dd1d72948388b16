#pragma once
// Outputs that would destroy an input: an output file that is the same file as an input or as
// another output, by any spelling of its path or through a link.

#include <string>
#include <vector>

namespace sepmet {

struct NamedFile {
    std::string name; // how the user named it, e.g. "--report"
    std::string path;
};

// The first output that is the same file as one of `inputs` or an earlier output, as an English
// sentence naming both; empty when every output is a file of its own. Files that do not exist
// yet are compared by their absolute paths with every link resolved.
std::string SameFileConflict(const std::vector<NamedFile>& inputs,
                             const std::vector<NamedFile>& outputs);

// What tells one file from another on this system: equal for two paths of the same file.
std::string FileIdentity(const std::string& path);

} // namespace sepmet
