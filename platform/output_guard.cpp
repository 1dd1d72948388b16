#include "platform/output_guard.h"

namespace sepmet {

std::string SameFileConflict(const std::vector<NamedFile>& inputs,
                             const std::vector<NamedFile>& outputs) {
    std::vector<std::pair<const NamedFile*, std::string>> seen;
    for (const NamedFile& input : inputs)
        if (!input.path.empty())
            seen.emplace_back(&input, FileIdentity(input.path));
    for (const NamedFile& output : outputs) {
        if (output.path.empty())
            continue;
        const std::string identity = FileIdentity(output.path);
        for (const auto& [other, otherIdentity] : seen)
            if (identity == otherIdentity)
                return output.name + " " + output.path + " is the same file as " + other->name +
                       " " + other->path;
        seen.emplace_back(&output, identity);
    }
    return {};
}

} // namespace sepmet
