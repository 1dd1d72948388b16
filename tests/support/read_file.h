#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace sepmet::testing {

// The whole content of a file as bytes; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

} // namespace sepmet::testing
