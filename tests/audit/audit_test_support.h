#pragma once
// A temporary folder per test and direct SQL on a store, as someone tampering with it would use.

#include "tests/support/temporary_folder.h"

#include <functional>
#include <string>

namespace sepmet::audit::testing {

using sepmet::testing::TemporaryFolder;

// Runs `sql` on the file through a connection of its own; fails the test on error.
void ExecuteSql(const std::string& path, const std::string& sql);
// The first column of the first row of `sql` as text; "" for no row.
std::string QueryText(const std::string& path, const std::string& sql);

// Runs `body` in a child process that, when the tests run as root, has given up root's right to
// write everywhere (it runs as "nobody"); the child's exit status, -1 when it did not exit.
int RunUnprivileged(const std::function<int()>& body);

// A folder of the test that the unprivileged child may read, and write when `writable`.
void OpenFolderToEveryone(const std::string& folder, bool writable);

} // namespace sepmet::audit::testing
