#pragma once

#include <string>

namespace sepmet::batch {

// Makes `path` the host's database location and checks that it is an existing SQLite file with
// the host's tables; otherwise false with `error` saying why. The file is never created.
bool CheckDatabase(const std::string& path, std::string& error);

} // namespace sepmet::batch
