#pragma once
// A temporary folder per test and direct SQL on a store, as someone tampering with it would use.

#include "platform/system_log.h"
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

// Copies `file` into `folder` (opened to everyone) with its mode, so that the unprivileged child
// can use it wherever the checkout lies (a checkout under /root is closed to other users). The
// copy's path; empty, with `why` set, when the child still cannot reach it (then the test skips).
std::string CopyForUnprivileged(const std::string& file, const std::string& folder,
                                std::string& why);

// The system's log as a list the test reads and changes; unreadable when told so.
class FakeSystemLog final : public SystemLog {
public:
    void Record(const SystemLogEntry& entry) override { entries.push_back(entry); }
    std::optional<std::vector<SystemLogEntry>> Read(std::string_view trail,
                                                    std::string& reason) override {
        if (!readable) {
            reason = "permission denied";
            return std::nullopt;
        }
        std::vector<SystemLogEntry> found;
        for (const SystemLogEntry& entry : entries)
            if (entry.trail == trail)
                found.push_back(entry);
        return found;
    }

    std::vector<SystemLogEntry> entries;
    bool readable = true;
};

} // namespace sepmet::audit::testing
