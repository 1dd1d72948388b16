#pragma once
// Writes the demo analysis database: the host's tables with the demo chromatograms. Shared by
// sepmet-demo-database and the host's --demo.

#include <string>

namespace sepmet::demo {

// Writes the database afresh at `path` (an existing file is replaced). The empty text on
// success, else what went wrong.
std::string WriteDemoDatabase(const std::string& path);

} // namespace sepmet::demo
