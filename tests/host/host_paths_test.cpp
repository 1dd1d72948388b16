// The demo database's folder is the user's own: the audit trail lives there too.

#include "host/host_paths.h"
#include "tests/support/temporary_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace sepmet::host {
namespace {

TEST(HostPaths, DemoDatabaseFolderIsPrivateWhateverTheUmask) {
    sepmet::testing::TemporaryFolder folder;
    const mode_t umask = ::umask(022);
    const QString error =
        EnsureDemoDatabase(QString::fromStdString(folder.File("share/sepmet/demo.sqlite")));
    ::umask(umask);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    for (const char* part : {"share", "share/sepmet"}) {
        struct stat info {};
        ASSERT_EQ(::stat(folder.File(part).c_str(), &info), 0) << part;
        EXPECT_EQ(info.st_mode & 07777, 0700u) << part;
    }
}

} // namespace
} // namespace sepmet::host
