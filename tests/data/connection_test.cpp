#include "data/connection.h"
#include "tests/support/temporary_folder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace DataBase {
namespace {

namespace fs = std::filesystem;

// A fresh connection object and a private folder, which is also the working folder.
class ConnectionTest : public ::testing::Test {
protected:
    ConnectionTest() {
        DeleteConnection();
        previous_ = fs::current_path();
        fs::current_path(folder_);
        // SQLite's first use allocates process-wide state; later counts start after it.
        DataBaseHandle warmUp;
        warmUp.Open();
    }
    ~ConnectionTest() override {
        fs::current_path(previous_);
        DeleteConnection();
    }

    static void Locate(const fs::path& path) { GetConnection().SetUri(path.u16string().c_str()); }

    // Runs SQL on a connection of its own, outside the code under test.
    static void Exec(sqlite3* db, const char* sql) {
        char* error = nullptr;
        ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << error;
    }

    sepmet::testing::TemporaryFolder temporary_;
    const fs::path folder_{temporary_.Path()};
    fs::path previous_;
};

TEST_F(ConnectionTest, WithoutLocationQueriesFailAtPrepare) {
    ASSERT_FALSE(GetConnection().Uri().has_value());
    DataBaseHandle handle;
    handle.Open(); // SQLite's temporary database
    Statement statement;
    try {
        Prepare(handle, statement, u"SELECT id FROM assay WHERE id = ?");
        FAIL() << "Prepare succeeded";
    } catch (const SqlException& error) {
        EXPECT_STREQ(error.what(), "no such table: assay");
        EXPECT_EQ(error.code, SQLITE_ERROR);
        EXPECT_EQ(error.sql, "");
    }
    EXPECT_EQ(statement.get(), nullptr);
    EXPECT_TRUE(fs::is_empty(folder_));
}

TEST_F(ConnectionTest, MissingFileRaisesOpenErrorAndIsNotCreated) {
    const fs::path file = folder_ / "analysis.db";
    Locate(file);
    DataBaseHandle handle;
    try {
        handle.Open();
        FAIL() << "Open succeeded on a missing file";
    } catch (const SqlException& error) {
        EXPECT_STREQ(error.what(), "unable to open database file");
        EXPECT_EQ(error.code, SQLITE_CANTOPEN);
    }
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(ConnectionTest, DirectoryLocationRaisesOpenErrorAndFreesTheHandle) {
    Locate(folder_);
    const sqlite3_int64 before = sqlite3_memory_used();
    {
        DataBaseHandle handle;
        try {
            handle.Open();
            FAIL() << "Open succeeded on a directory";
        } catch (const SqlException& error) {
            EXPECT_STREQ(error.what(), "unable to open database file");
            EXPECT_EQ(error.code, SQLITE_CANTOPEN);
            EXPECT_EQ(error.sql, "");
        }
    }
    EXPECT_EQ(sqlite3_memory_used(), before); // the failed connection was closed
}

TEST_F(ConnectionTest, LockedDatabaseEndsRowLoopWithBusy) {
    const sqlite3_int64 before = sqlite3_memory_used();
    const fs::path file = folder_ / "analysis.db";
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(file.string().c_str(), &writer), SQLITE_OK);
    Exec(writer, "CREATE TABLE assay(id INTEGER PRIMARY KEY, sample TEXT);"
                 "INSERT INTO assay VALUES(1, 'x');");
    Locate(file);
    GetConnection().SetBusyTimeout(50); // the lock stays: no need to wait the full timeout

    std::optional<SqlException> caught;
    int rows = 0;
    {
        DataBaseHandle handle;
        handle.Open();
        Statement statement;
        // Reading the schema first lets the statement compile while the writer holds the lock.
        Prepare(handle, statement, u"SELECT id FROM assay");
        ForEachRow(statement, [&](sqlite3_stmt*) { ++rows; });
        Exec(writer, "BEGIN EXCLUSIVE");
        Prepare(handle, statement, u"SELECT id, sample FROM assay");
        try {
            ForEachRow(statement, [&](sqlite3_stmt*) { ++rows; });
        } catch (const SqlException& error) {
            caught = error;
        }
        EXPECT_EQ(statement.get(), nullptr);
        EXPECT_EQ(sqlite3_next_stmt(handle.get(), nullptr), nullptr);
    }
    Exec(writer, "ROLLBACK");
    sqlite3_close(writer);
    EXPECT_EQ(sqlite3_memory_used(), before); // statement finalized and handle closed

    EXPECT_EQ(rows, 1);
    ASSERT_TRUE(caught);
    // Read after the statement and the connection are gone: the exception owns its texts.
    EXPECT_STREQ(caught->what(), "database is locked");
    EXPECT_EQ(caught->code, SQLITE_BUSY);
    EXPECT_EQ(caught->sql, "SELECT id, sample FROM assay");
}

TEST_F(ConnectionTest, TransientLockIsWaitedOut) {
    EXPECT_EQ(GetConnection().BusyTimeout(), DataBaseConnectionBase::kDefaultBusyTimeoutMs);
    const fs::path file = folder_ / "analysis.db";
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(file.string().c_str(), &writer), SQLITE_OK);
    Exec(writer, "CREATE TABLE assay(id INTEGER PRIMARY KEY); INSERT INTO assay VALUES(1);");
    Locate(file);
    DataBaseHandle handle;
    handle.Open();
    Exec(writer, "BEGIN EXCLUSIVE; INSERT INTO assay VALUES(2);");
    // The data system commits while the plug-in waits.
    std::thread commit([writer] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr);
    });
    Statement statement;
    int rows = 0;
    EXPECT_NO_THROW({
        Prepare(handle, statement, u"SELECT id FROM assay");
        ForEachRow(statement, [&](sqlite3_stmt*) { ++rows; });
    });
    commit.join();
    sqlite3_close(writer);
    EXPECT_EQ(rows, 2);
}

// The reads of one command see one state of the database: what the data system commits in
// between is seen by the next command, not halfway through this one.
TEST_F(ConnectionTest, ReadsInOneSnapshotSeeOneStateOfTheDatabase) {
    const fs::path file = folder_ / "analysis.db";
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(file.string().c_str(), &writer), SQLITE_OK);
    Exec(writer, "PRAGMA journal_mode=WAL; CREATE TABLE assay(id INTEGER PRIMARY KEY);"
                 "INSERT INTO assay VALUES(1);");
    Locate(file);
    DataBaseHandle handle;
    handle.Open();
    const auto count = [&handle] {
        Statement statement;
        int rows = 0;
        Prepare(handle, statement, u"SELECT id FROM assay");
        ForEachRow(statement, [&](sqlite3_stmt*) { ++rows; });
        return rows;
    };
    {
        const ReadSnapshot snapshot(handle);
        EXPECT_EQ(count(), 1);
        Exec(writer, "INSERT INTO assay VALUES(2);");
        EXPECT_EQ(count(), 1);
        EXPECT_FALSE(sqlite3_get_autocommit(handle.get()));
    }
    EXPECT_TRUE(sqlite3_get_autocommit(handle.get())); // ended: the lock is given back
    EXPECT_EQ(count(), 2);
    sqlite3_close(writer);
}

TEST_F(ConnectionTest, FileLocationIsAPathNotAUri) {
#if defined(_WIN32)
    GTEST_SKIP() << "':' cannot be part of a Windows file name, so no such location exists";
#endif
    // Debian's SQLite has URI names on; a location beginning with "file:" must still name a
    // file in the working folder, with no query parameters honoured.
    for (const char* location : {"file:analysis.db", "file:other.db?mode=ro"}) {
        SCOPED_TRACE(location);
        std::ofstream(folder_ / location).close(); // an empty file is an empty database
        GetConnection().SetUri(fs::path(location).u16string().c_str());
        DataBaseHandle handle;
        handle.Open();
        Statement statement;
        Prepare(handle, statement, u"CREATE TABLE t(x)");
        ForEachRow(statement, [](sqlite3_stmt*) {}); // writable: mode=ro was not applied
        EXPECT_TRUE(fs::exists(folder_ / location));
    }
    EXPECT_FALSE(fs::exists(folder_ / "analysis.db"));
    EXPECT_FALSE(fs::exists(folder_ / "other.db"));
}

TEST_F(ConnectionTest, PercentSignsPassUnchanged) {
    DataBaseHandle handle;
    handle.Open();
    Statement statement;
    const char16_t* sql = u"SELECT '%d%s%%', 'метанол 100%' LIKE '%100\\%' ESCAPE '\\'";
    Prepare(handle, statement, sql);
    EXPECT_STREQ(sqlite3_sql(statement.get()),
                 "SELECT '%d%s%%', 'метанол 100%' LIKE '%100\\%' ESCAPE '\\'");
    std::u16string text;
    int matched = -1;
    ForEachRow(statement, [&](sqlite3_stmt* row) {
        text = static_cast<const char16_t*>(sqlite3_column_text16(row, 0));
        matched = sqlite3_column_int(row, 1);
    });
    EXPECT_EQ(text, u"%d%s%%");
    EXPECT_EQ(matched, 1);
}

TEST_F(ConnectionTest, RowHandlerExceptionFinalizesStatement) {
    DataBaseHandle handle;
    handle.Open();
    Statement statement;
    Prepare(handle, statement, u"SELECT 1 UNION ALL SELECT 2");
    int rows = 0;
    EXPECT_THROW(ForEachRow(statement,
                            [&](sqlite3_stmt*) {
                                ++rows;
                                throw std::runtime_error("reader failed");
                            }),
                 std::runtime_error);
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(statement.get(), nullptr);
    EXPECT_EQ(sqlite3_next_stmt(handle.get(), nullptr), nullptr);
}

TEST_F(ConnectionTest, DeletingTheConnectionObjectForgetsTheLocation) {
    DeleteConnection(); // none exists: nothing more than the reset
    EXPECT_FALSE(HasConnection());
    GetConnection().SetUri(u"first.db");
    GetConnection().SetUri(u"second.db");
    EXPECT_EQ(GetConnection().Uri(), u"second.db");
    DeleteConnection();
    EXPECT_FALSE(HasConnection());
    EXPECT_FALSE(GetConnection().Uri().has_value());
}

} // namespace
} // namespace DataBase
