// sepmet_unicode.so loaded into a plain connection as a SQLite extension.

#include "tests/unicode/sql_test_support.h"

#include <gtest/gtest.h>

namespace sepmet::test {
namespace {

#ifdef SEPMET_UNICODE_EXTENSION
TEST(UnicodeExtension, LoadsIntoAPlainConnection) {
    Connection db("UTF-8", false);
    sqlite3_enable_load_extension(db.get(), 1);
    char* error = nullptr;
    ASSERT_EQ(sqlite3_load_extension(db.get(), SEPMET_UNICODE_EXTENSION, nullptr, &error),
              SQLITE_OK)
        << (error ? error : "");
    EXPECT_EQ(db.Eval("SELECT 'Ёлка' LIKE 'елка'"), TextOutcome("1"));
    EXPECT_EQ(db.Eval("SELECT unicode_version()"), TextOutcome("5.1.0.12"));
    EXPECT_EQ(db.Eval("SELECT unaccent(upper('ærø'))"), TextOutcome("AERO"));
    EXPECT_EQ(db.Eval("SELECT 'ЁЛКА' = 'елка' COLLATE NOCASE"), TextOutcome("1"));
}
#endif

} // namespace
} // namespace sepmet::test
