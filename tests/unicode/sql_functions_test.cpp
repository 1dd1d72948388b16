// The SQL functions and the NOCASE collation through real SQL on a real connection.

#include "data/connection.h"
#include "tests/unicode/sql_test_support.h"

#include <gtest/gtest.h>

namespace sepmet::test {
namespace {

struct Case {
    const char* sql;
    Outcome expected;
};

void ExpectCases(const Connection& db, const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(db.Eval(c.sql), c.expected) << c.sql;
}

const Outcome kTrue = TextOutcome("1");
const Outcome kFalse = TextOutcome("0");
const Outcome kEscapeError = ErrorOutcome("ESCAPE expression must be a single character");
const Outcome kTooComplex = ErrorOutcome("LIKE or GLOB pattern too complex");

TEST(UnicodeSqlFunctions, RegistrationSucceedsAndVersionIsReported) {
    Connection db;
    EXPECT_EQ(db.registration(), SQLITE_OK);
    EXPECT_EQ(db.Eval("SELECT unicode_version()"), TextOutcome("5.1.0.12"));
}

TEST(UnicodeSqlFunctions, LikeIgnoresCaseAndAccents) {
    Connection db;
    ExpectCases(db, {
                        {"SELECT 'Метанол' LIKE 'МЕТАНОЛ'", kTrue},
                        {"SELECT 'метанол' LIKE '%ТАН%'", kTrue},
                        {"SELECT 'Ёлка' LIKE 'елка'", kTrue},
                        {"SELECT 'Йод' LIKE 'иод'", kTrue},
                        {"SELECT 'Éclair' LIKE 'eclair'", kTrue},
                        {"SELECT 'Straße' LIKE 'STRASSE'", kFalse},
                        {"SELECT 'abc' LIKE 'a_c'", kTrue},
                        {"SELECT 'ac' LIKE 'a_c'", kFalse},
                        {"SELECT 'жёлтый' LIKE '_Ё%'", kTrue},
                        {"SELECT 'abc' LIKE 'abc%%'", kTrue},
                        {"SELECT 'ab' LIKE '%__%_'", kFalse},
                        {"SELECT 'abc' LIKE '%__%_'", kTrue},
                        {"SELECT like('%ТАН%', 'метанол')", kTrue},
                        {"SELECT '' LIKE ''", kTrue},
                        {"SELECT '' LIKE '%'", kTrue},
                        {"SELECT '' LIKE '_'", kFalse},
                    });
}

TEST(UnicodeSqlFunctions, LikeEscape) {
    Connection db;
    ExpectCases(db, {
                        {"SELECT '10%' LIKE '10!%' ESCAPE '!'", kTrue},
                        {"SELECT '100' LIKE '10!%' ESCAPE '!'", kFalse},
                        {"SELECT 'a_c' LIKE 'a!_c' ESCAPE '!'", kTrue},
                        {"SELECT 'abc' LIKE 'a!_c' ESCAPE '!'", kFalse},
                        {"SELECT 'a!c' LIKE 'a!!c' ESCAPE '!'", kTrue},
                        {"SELECT 'x%y' LIKE '%!%%' ESCAPE '!'", kTrue},
                        {"SELECT 'xy' LIKE '%!%%' ESCAPE '!'", kFalse},
                        {"SELECT 'a%' LIKE 'a—%' ESCAPE '—'", kTrue},
                        {"SELECT 'ab' LIKE 'a%!' ESCAPE '!'", kFalse},
                        {"SELECT 'abc' LIKE 'abc' ESCAPE ''", kEscapeError},
                        {"SELECT 'abc' LIKE 'abc' ESCAPE '!!'", kEscapeError},
                        {"SELECT 'abc' LIKE 'abc' ESCAPE 'ёж'", kEscapeError},
                        {"SELECT 'abc' LIKE 'abc' ESCAPE NULL", NullOutcome()},
                        {"SELECT NULL LIKE 'abc' ESCAPE ''", kEscapeError},
                    });
}

TEST(UnicodeSqlFunctions, LikeNullsAndPatternLimit) {
    Connection db;
    ExpectCases(db, {
                        {"SELECT NULL LIKE 'a'", NullOutcome()},
                        {"SELECT 'a' LIKE NULL", NullOutcome()},
                        {"SELECT 1 LIKE 1", kTrue},
                    });
    const std::string accepted(50000, '%');
    const std::string refused(50001, '%');
    EXPECT_EQ(db.Eval("SELECT like(?1, 'abc')", {accepted}), kTrue);
    EXPECT_EQ(db.Eval("SELECT like(?1, NULL)", {refused}), kTooComplex);
    EXPECT_EQ(db.Eval("SELECT like(?1, 'abc', NULL)", {refused}), kTooComplex);
}

TEST(UnicodeSqlFunctions, CaseFunctionsMapOneUnitForOne) {
    Connection db;
    ExpectCases(db, {
                        {"SELECT upper('straße')", TextOutcome("STRAßE")},
                        {"SELECT upper('метанол')", TextOutcome("МЕТАНОЛ")},
                        {"SELECT lower('МЕТАНОЛ ЁЛКА')", TextOutcome("метанол ёлка")},
                        {"SELECT lower('İ')", TextOutcome("i")},
                        {"SELECT fold('İ')", TextOutcome("İ")},
                        {"SELECT fold('ΣΑΣ ς ẞ')", TextOutcome("σασ σ ß")},
                        {"SELECT title('abc def')", TextOutcome("ABC DEF")},
                        {"SELECT title('ǆ ǅ Ǆ')", TextOutcome("ǅ ǅ ǅ")},
                        {"SELECT upper('ǆ ǅ')", TextOutcome("Ǆ Ǆ")},
                        {"SELECT upper('')", TextOutcome("")},
                        {"SELECT upper(NULL)", NullOutcome()},
                        {"SELECT upper(12)", TextOutcome("12")},
                        {"SELECT upper('𐐨')", TextOutcome("𐐨")},
                    });
}

TEST(UnicodeSqlFunctions, Unaccent) {
    Connection db;
    ExpectCases(db, {
                        {"SELECT unaccent('Ærøskøbing')", TextOutcome("AEroskobing")},
                        {"SELECT unaccent('й')", TextOutcome("и")},
                        {"SELECT unaccent('Ёлка éte ї')", TextOutcome("Елка ete і")},
                        {"SELECT unaccent('Œuvre ﬁn ǆ')", TextOutcome("OEuvre fin dz")},
                        {"SELECT unaccent('½ ™ ① Ａ')", TextOutcome("1⁄2 TM 1 A")},
                        {"SELECT unaccent('a' || char(160) || 'b')", TextOutcome("a b")},
                        {"SELECT unaccent('ł ø đ ƒ')", TextOutcome("l o d f")},
                        {"SELECT unaccent('e' || char(769) || ' 한 plain')",
                         TextOutcome("e\xCC\x81 한 plain")},
                        {"SELECT length(unaccent(char(65018)))", TextOutcome("18")},
                        {"SELECT unaccent('')", TextOutcome("")},
                        {"SELECT unaccent(NULL)", NullOutcome()},
                    });
}

TEST(UnicodeSqlFunctions, EmbeddedNulEndsTheResult) {
    Connection db;
    ExpectCases(db, {
                        {"SELECT hex(upper('ab' || char(0) || 'cd'))", TextOutcome("4142")},
                        {"SELECT hex(fold('AB' || char(0) || 'CD'))", TextOutcome("6162")},
                        {"SELECT hex(unaccent('æ' || char(0) || 'x'))", TextOutcome("6165")},
                    });
}

TEST(UnicodeSqlFunctions, NoCaseCollationInBothEncodings) {
    for (const char* encoding : {"UTF-8", "UTF-16le", "UTF-16be"}) {
        SCOPED_TRACE(encoding);
        Connection db(encoding);
        ExpectCases(db, {
                            {"SELECT 'ЁЛКА' = 'елка' COLLATE NOCASE", kTrue},
                            {"SELECT 'ÉCLAIR' = 'éclair' COLLATE NOCASE", kTrue},
                            {"SELECT 'abc' < 'ABD' COLLATE NOCASE", kTrue},
                            {"SELECT 'ABC' = 'abc' COLLATE NOCASE", kTrue},
                            {"SELECT '' < 'a' COLLATE NOCASE", kTrue},
                            {"SELECT '' = '' COLLATE NOCASE", kTrue},
                            {"SELECT 'abc' < 'abcd' COLLATE NOCASE", kTrue},
                        });
        // Keys are compared until n bytes are consumed, so a two-byte «É» against a one-byte
        // «e» leaves the texts unequal by length in UTF-8 but equal in UTF-16.
        EXPECT_EQ(db.Eval("SELECT 'Éclair' = 'eclair' COLLATE NOCASE"),
                  std::string(encoding) == "UTF-8" ? kFalse : kTrue);
        db.Exec("CREATE TABLE t(name TEXT COLLATE NOCASE)");
        db.Exec("INSERT INTO t VALUES ('ёж'), ('Ель'), ('ДЫМ'), ('ель'), ('Ёж'), ('абв')");
        EXPECT_EQ(db.Eval("SELECT group_concat(name, ',') FROM (SELECT name FROM t ORDER BY "
                          "name, rowid)"),
                  TextOutcome("абв,ДЫМ,ёж,Ёж,Ель,ель"));
        EXPECT_EQ(db.Eval("SELECT count(DISTINCT name) FROM t"), TextOutcome("4"));
    }
}

TEST(UnicodeSqlFunctions, OpenRegistersTheFunctionsOnEveryConnection) {
    DataBase::GetConnection().SetUri(u":memory:");
    DataBase::DataBaseHandle handle;
    handle.Open();
    DataBase::Statement statement;
    DataBase::Prepare(handle, statement,
                      u"SELECT unicode_version(), 'Ёлка' LIKE 'елка', 'ЁЛКА' = 'елка' COLLATE "
                      u"NOCASE");
    int rows = 0;
    DataBase::ForEachRow(statement, [&](sqlite3_stmt* row) {
        ++rows;
        EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(row, 0)), "5.1.0.12");
        EXPECT_EQ(sqlite3_column_int(row, 1), 1);
        EXPECT_EQ(sqlite3_column_int(row, 2), 1);
    });
    EXPECT_EQ(rows, 1);
    DataBase::DeleteConnection();
}

} // namespace
} // namespace sepmet::test
