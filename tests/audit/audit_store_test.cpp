// The store: where it lives, what its file holds, how it opens, and how numbers are given.

#include "audit/audit_store.h"
#include "audit/sha256.h"
#include "tests/audit/audit_test_support.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <regex>
#include <sys/stat.h>

namespace sepmet::audit {
namespace {

using testing::ExecuteSql;
using testing::QueryText;
using testing::TemporaryFolder;

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            saved_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { saved_ ? ::setenv(name_, saved_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> saved_;
};

TEST(AuditSha256, KnownDigests) {
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    // UTF-16LE bytes: "a" is 61 00.
    EXPECT_EQ(Sha256HexUtf16Le(u"a"), Sha256Hex(std::string("a\0", 2)));
}

TEST(AuditStorePath, DefaultFollowsXdgDataHomeThenHome) {
#if defined(_WIN32)
    GTEST_SKIP() << "the Windows store lies in FOLDERID_LocalAppData, not $XDG_DATA_HOME";
#endif
    struct Case {
        const char* xdg;
        const char* home;
        const char* expected;
    } cases[] = {
        {"/data/x", "/home/u", "/data/x/sepmet/audit.sqlite"},
        {"/data/x/", "/home/u", "/data/x/sepmet/audit.sqlite"},
        {nullptr, "/home/u", "/home/u/.local/share/sepmet/audit.sqlite"},
        {"", "/home/u", "/home/u/.local/share/sepmet/audit.sqlite"},
        {"relative", "/home/u", "/home/u/.local/share/sepmet/audit.sqlite"},
        {nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        ScopedEnv xdg("XDG_DATA_HOME", c.xdg);
        ScopedEnv home("HOME", c.home);
        EXPECT_EQ(DefaultStorePath(), c.expected) << (c.xdg ? c.xdg : "(unset)");
    }
}

TEST(AuditStoreFile, DefaultStoreIsCreatedWithPrivateFolderAndTheOneTable) {
#if defined(_WIN32)
    GTEST_SKIP() << "the Windows store lies in FOLDERID_LocalAppData, not $XDG_DATA_HOME, and has "
                    "no Unix mode";
#endif
    TemporaryFolder folder;
    ScopedEnv xdg("XDG_DATA_HOME", (folder.Path() + "/missing/share").c_str());
    const std::string path = DefaultStorePath();
    {
        AuditStore store = AuditStore::OpenForAppend(path, AuditStore::Folders::Create);
        EXPECT_EQ(store.JournalMode(), "wal"); // a local file system
        store.Append("recalculation", "{\"a\":1}");
    }
    struct stat info {};
    ASSERT_EQ(::stat((folder.Path() + "/missing/share/sepmet").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    EXPECT_EQ(QueryText(path, "SELECT sql FROM sqlite_master WHERE name = 'event'"),
              "CREATE TABLE event(seq INTEGER PRIMARY KEY AUTOINCREMENT, at TEXT, user TEXT, "
              "machine TEXT, version TEXT, kind TEXT, payload TEXT, prev TEXT, hash TEXT)");
    EXPECT_EQ(QueryText(path, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                              "name NOT IN ('event', 'sqlite_sequence')"),
              "0");
}

TEST(AuditStoreFile, ExplicitPathNeedsAnExistingFolder) {
    TemporaryFolder folder;
    EXPECT_THROW(AuditStore::OpenForAppend(folder.File("no/such/a.sqlite")), AuditError);
}

TEST(AuditStoreFile, EventsAreStoredAsTextAndChained) {
    TemporaryFolder folder;
    const std::string path = folder.File("a.sqlite");
    AuditStore store = AuditStore::OpenForAppend(path);
    const EventRecord first = store.Append("recalculation", "{\"n\":1}");
    const EventRecord second = store.Append("report", "{\"n\":2}");

    EXPECT_EQ(first.seq, 1);
    EXPECT_EQ(second.seq, 2);
    EXPECT_EQ(first.prev, "");
    EXPECT_EQ(second.prev, first.hash);
    EXPECT_EQ(second.hash, Sha256Hex(first.hash + "\n" + second.at + "\n" + second.user + "\n" +
                                     second.machine + "\n1.0.2.0\nreport\n{\"n\":2}"));
    EXPECT_TRUE(
        std::regex_match(second.at, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)")))
        << second.at;
    EXPECT_FALSE(second.user.empty());
    EXPECT_FALSE(second.machine.empty());

    // What is read back is what was written, every column but the number stored as text.
    const std::vector<EventRecord> stored = store.ReadAll();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[1].hash, second.hash);
    EXPECT_EQ(stored[1].payload, "{\"n\":2}");
    EXPECT_EQ(QueryText(path, "SELECT group_concat(DISTINCT typeof(at) || typeof(user) || "
                              "typeof(machine) || typeof(version) || typeof(kind) || "
                              "typeof(payload) || typeof(prev) || typeof(hash)) FROM event"),
              "texttexttexttexttexttexttexttext");
}

TEST(AuditStoreFile, AbandonedEventRecordsNothingAndNumbersAreNeverReused) {
    TemporaryFolder folder;
    const std::string path = folder.File("a.sqlite");
    AuditStore store = AuditStore::OpenForAppend(path);
    store.Append("recalculation", "{}");
    {
        AuditStore::PendingEvent pending = store.Begin();
        EXPECT_EQ(pending.Seq(), 2);
    } // rolled back
    EXPECT_EQ(store.ReadAll().size(), 1u);
    store.Append("recalculation", "{}");
    store.Append("recalculation", "{}");
    ExecuteSql(path, "DELETE FROM event WHERE seq = 3");

    AuditStore::PendingEvent pending = store.Begin();
    EXPECT_EQ(pending.Seq(), 4);
    EXPECT_EQ(pending.Commit("report", "{}").seq, 4);
}

TEST(AuditStoreFile, ReadOnlyOpeningNeverCreates) {
    TemporaryFolder folder;
    const std::string path = folder.File("a.sqlite");
    EXPECT_THROW(AuditStore::OpenReadOnly(path), AuditError);
    struct stat info {};
    EXPECT_NE(::stat(path.c_str(), &info), 0);
}

TEST(AuditStoreFile, StoreInAFolderTheReaderCannotWriteIsRead) {
#if defined(_WIN32)
    GTEST_SKIP() << "Wine runs here as root, whom Unix folder modes do not stop";
#endif
    TemporaryFolder folder;
    const std::string path = folder.File("a b%?#.sqlite");
    AuditStore::OpenForAppend(path).Append("report", "{}");
    testing::OpenFolderToEveryone(folder.Path(), false);
    const int status = testing::RunUnprivileged([&] {
        try {
            return AuditStore::OpenReadOnly(path).ReadAll().size() == 1 ? 0 : 1;
        } catch (const AuditError&) {
            return 2;
        }
    });
    EXPECT_EQ(status, 0);
}

TEST(AuditStoreFile, FilesThatAreNotAStoreAreRefused) {
    TemporaryFolder folder;
    const std::string text = folder.File("text.sqlite");
    std::ofstream(text) << "not a database, just some text that is long enough to fill a header";
    const std::string other = folder.File("other.sqlite");
    ExecuteSql(other, "CREATE TABLE event(seq INTEGER PRIMARY KEY, what TEXT)");
    const std::string empty = folder.File("empty.sqlite");
    ExecuteSql(empty, "CREATE TABLE something(x)");

    for (const std::string& path : {text, other}) {
        EXPECT_THROW(AuditStore::OpenForAppend(path), AuditError) << path;
        EXPECT_THROW(AuditStore::OpenReadOnly(path), AuditError) << path;
    }
    try {
        AuditStore::OpenReadOnly(text);
    } catch (const AuditError& e) {
        EXPECT_STREQ(e.what(), "file is not a database");
    }
    EXPECT_THROW(AuditStore::OpenReadOnly(empty), AuditError);
}

} // namespace
} // namespace sepmet::audit
