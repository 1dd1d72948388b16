// The store: where it lives, what its file holds, how it opens, and how numbers are given.

#include "audit/audit_store.h"
#include "audit/sha256.h"
#include "tests/audit/audit_test_support.h"
#include "tests/support/read_file.h"

#include <cstdlib>
#include <filesystem>
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
    const mode_t umask = ::umask(022); // the usual one, under which files are world-readable
    {
        AuditStore store = AuditStore::OpenForAppend(path, AuditStore::Folders::Create);
        EXPECT_EQ(store.JournalMode(), "wal"); // a local file system
        store.Append("recalculation", "{\"a\":1}");
        // Only the user reads the trail, whatever the umask.
        for (const std::string& file : {path, path + "-wal", path + "-shm"}) {
            struct stat info {};
            ASSERT_EQ(::stat(file.c_str(), &info), 0) << file;
            EXPECT_EQ(info.st_mode & 07777, 0600u) << file;
        }
    }
    ::umask(umask);
    struct stat info {};
    ASSERT_EQ(::stat((folder.Path() + "/missing/share/sepmet").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    EXPECT_EQ(QueryText(path, "SELECT sql FROM sqlite_master WHERE name = 'event'"),
              "CREATE TABLE event(seq INTEGER PRIMARY KEY AUTOINCREMENT, at TEXT, user TEXT, "
              "machine TEXT, version TEXT, kind TEXT, payload TEXT, prev TEXT, hash TEXT)");
    EXPECT_EQ(QueryText(path, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                              "name NOT IN ('event', 'trail', 'sqlite_sequence')"),
              "0");
    EXPECT_EQ(QueryText(path, "PRAGMA application_id"), std::to_string(kTrailApplicationId));
    EXPECT_TRUE(
        std::regex_match(QueryText(path, "SELECT id FROM trail"), std::regex("[0-9a-f]{32}")));
}

TEST(AuditStoreFile, ExplicitPathNeedsAnExistingFolder) {
    TemporaryFolder folder;
    EXPECT_THROW(AuditStore::OpenForAppend(folder.File("no/such/a.sqlite")), AuditError);
}

TEST(AuditStoreFile, EventsAreStoredAsTextAndChained) {
    TemporaryFolder folder;
    const std::string path = folder.File("a.sqlite");
    AuditStore store = AuditStore::OpenForAppend(path);
    const EventRecord first = store.Append("recalculation", "{\"n\":1}").event;
    const EventRecord second = store.Append("report", "{\"n\":2}").event;

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

TEST(AuditStoreFile, NumbersAreNeverReusedAndEachEventNamesTheOneBefore) {
    TemporaryFolder folder;
    const std::string path = folder.File("a.sqlite");
    AuditStore store = AuditStore::OpenForAppend(path);
    EXPECT_EQ(store.Append("recalculation", "{}").prevSeq, 0);
    store.Append("recalculation", "{}");
    const AppendedEvent third = store.Append("recalculation", "{}");
    EXPECT_EQ(third.prevSeq, 2);
    ExecuteSql(path, "DELETE FROM event WHERE seq = 3");

    const AppendedEvent next = store.Append("report", "{}");
    EXPECT_EQ(next.event.seq, 4);
    EXPECT_EQ(next.prevSeq, 2);
    EXPECT_EQ(next.event.prev, store.ReadAll()[1].hash);
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
    ::chmod(path.c_str(), 0644); // its owner lets others read it
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

TEST(AuditStoreFile, OnlyTrailsAreOpenedAndAnythingElseIsLeftUnchanged) {
    TemporaryFolder folder;
    const std::string text = folder.File("text.sqlite");
    std::ofstream(text) << "not a database, just some text that is long enough to fill a header";
    const std::string other = folder.File("other.sqlite");
    ExecuteSql(other, "CREATE TABLE event(seq INTEGER PRIMARY KEY, what TEXT)");
    const std::string something = folder.File("something.sqlite");
    ExecuteSql(something, "CREATE TABLE something(x)");
    // An analysis database that happens to hold a table of the trail's very layout.
    const std::string analysis = folder.File("analysis.sqlite");
    ExecuteSql(analysis, "CREATE TABLE assay(id INTEGER PRIMARY KEY, sample TEXT);"
                         "CREATE TABLE event(seq INTEGER PRIMARY KEY AUTOINCREMENT, at TEXT, "
                         "user TEXT, machine TEXT, version TEXT, kind TEXT, payload TEXT, "
                         "prev TEXT, hash TEXT)");
    const std::string foreign = folder.File("foreign.sqlite");
    ExecuteSql(foreign, "PRAGMA application_id = 1234; CREATE TABLE event(seq INTEGER PRIMARY "
                        "KEY AUTOINCREMENT, at TEXT, user TEXT, machine TEXT, version TEXT, "
                        "kind TEXT, payload TEXT, prev TEXT, hash TEXT)");
    const std::string fifo = folder.File("fifo.sqlite");
#if defined(_WIN32)
    std::filesystem::create_directory(fifo); // no FIFO on Windows; a folder is no file either
#else
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
#endif

    struct Case {
        std::string path;
        std::string reason;
    } cases[] = {
        {text, "file is not a database"},
        {other, "the file holds a table \"event\" of another layout"},
        {something, "the file holds the table \"something\": it is not an audit trail"},
        {analysis, "the file holds the table \"assay\": it is not an audit trail"},
        {foreign, "the file is a database of another program (application id 1234)"},
        {fifo, "not a regular file"},
    };
    for (const Case& c : cases) {
        const std::string before = c.path == fifo ? "" : sepmet::testing::ReadFile(c.path);
        for (bool append : {true, false}) {
            try {
                append ? AuditStore::OpenForAppend(c.path) : AuditStore::OpenReadOnly(c.path);
                ADD_FAILURE() << c.path << " was opened";
            } catch (const AuditError& e) {
                EXPECT_EQ(e.what(), c.reason) << c.path;
            }
        }
        if (c.path != fifo)
            EXPECT_EQ(sepmet::testing::ReadFile(c.path), before) << c.path;
        struct stat info {};
        EXPECT_NE(::stat((c.path + "-wal").c_str(), &info), 0) << c.path;
    }
}

TEST(AuditStoreFile, TrailWrittenBeforeTheStampIsStampedAndKeepsItsChain) {
    TemporaryFolder folder;
    const std::string path = folder.File("old.sqlite");
    std::string firstHash;
    {
        AuditStore store = AuditStore::OpenForAppend(path);
        firstHash = store.Append("recalculation", "{}").event.hash;
    }
    // As the program wrote trails before: no application id, no identifier.
    ExecuteSql(path, "PRAGMA application_id = 0; DROP TABLE trail");
    EXPECT_EQ(AuditStore::OpenReadOnly(path).TrailId(), "");

    AuditStore store = AuditStore::OpenForAppend(path);
    EXPECT_EQ(store.Append("recalculation", "{}").event.prev, firstHash);
    EXPECT_EQ(QueryText(path, "PRAGMA application_id"), std::to_string(kTrailApplicationId));
    EXPECT_EQ(store.TrailId().size(), 32u);
    EXPECT_EQ(AuditStore::OpenReadOnly(path).TrailId(), store.TrailId());
    // An empty file is a new trail.
    const std::string empty = folder.File("empty.sqlite");
    std::ofstream{empty};
    EXPECT_EQ(AuditStore::OpenForAppend(empty).Append("report", "{}").event.seq, 1);
}

} // namespace
} // namespace sepmet::audit
