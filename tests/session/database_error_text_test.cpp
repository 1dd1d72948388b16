// The text a failed database read shows: a locked database is explained in Russian, with the
// file and what to do, SQLite's text after it; other failures show SQLite's text alone.
#include "session/database_error_text.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace sepmet {
namespace {

TEST(DatabaseErrorText, LockedDatabaseNamesTheFileAndWhatToDo) {
    const std::u16string locked =
        u"База данных «/data/lab.sqlite» занята другой программой, которая в неё записывает. "
        u"Дождитесь окончания записи (или закройте эту программу) и повторите действие.\n\n"
        u"database is locked";
    EXPECT_EQ(DatabaseErrorText("database is locked", SQLITE_BUSY, u"/data/lab.sqlite"), locked);
    EXPECT_EQ(DatabaseErrorText("database is locked", SQLITE_BUSY_SNAPSHOT, u"/data/lab.sqlite"),
              locked); // an extended code of the same kind
    EXPECT_NE(DatabaseErrorText("database table is locked", SQLITE_LOCKED, u"x.db").find(u"«x.db»"),
              std::u16string::npos);
    EXPECT_EQ(DatabaseErrorText("no such table: peak", SQLITE_ERROR, u"x.db"),
              u"no such table: peak");
    EXPECT_EQ(DatabaseErrorText("", SQLITE_ERROR, u"x.db"), u"unknown database error");
}

} // namespace
} // namespace sepmet
