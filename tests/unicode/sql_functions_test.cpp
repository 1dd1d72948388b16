// The SQL functions and the NOCASE collation through real SQL on a real connection.

#include "data/connection.h"
#include "tests/unicode/sql_test_support.h"

#include <gtest/gtest.h>
#include <random>

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

void ExpectCasesInEveryEncoding(const std::vector<Case>& cases) {
    for (const char* encoding : kEncodings) {
        SCOPED_TRACE(encoding);
        ExpectCases(Connection(encoding), cases);
    }
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
    ExpectCasesInEveryEncoding({
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
    ExpectCasesInEveryEncoding({
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

TEST(UnicodeSqlFunctions, LikeCharactersAboveFFFFMatchOnlyThemselves) {
    ExpectCasesInEveryEncoding({
        {"SELECT '' LIKE char(65536)", kFalse},
        {"SELECT 'a' LIKE 'a' || char(65536)", kFalse},
        {"SELECT char(65536) LIKE ''", kFalse},
        {"SELECT char(65601) LIKE 'a'", kFalse},
        {"SELECT 'A' LIKE char(65601)", kFalse},
        {"SELECT char(65601) LIKE char(65601)", kTrue},
        {"SELECT char(65601) LIKE char(65602)", kFalse},
        {"SELECT char(65601) LIKE '_'", kTrue},
        {"SELECT char(65601, 65602) LIKE '_'", kFalse},
        {"SELECT char(65601, 65602) LIKE '__'", kTrue},
        {"SELECT 'x' || char(65601) || 'y' LIKE '%' || char(65601) || '_'", kTrue},
        {"SELECT 'xay' LIKE '%' || char(65601) || '_'", kFalse},
        {"SELECT char(66600) LIKE char(66560)", kFalse}, // no case map above U+FFFF
        {"SELECT '%' LIKE char(65601) || '%' ESCAPE char(65601)", kTrue},
        {"SELECT 'a' LIKE char(65601) || '%' ESCAPE char(65601)", kFalse},
    });
}

TEST(UnicodeSqlFunctions, LikeNullsAndPatternLimit) {
    for (const char* encoding : kEncodings) {
        SCOPED_TRACE(encoding);
        Connection db(encoding);
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
        // The limit counts UTF-8 bytes, also in a UTF-16 database: 25 000 «ё» are 50 000.
        std::string yo;
        for (int i = 0; i < 25000; ++i)
            yo += "ё";
        EXPECT_EQ(db.Eval("SELECT like(?1, upper(?1))", {yo}), kTrue);
        EXPECT_EQ(db.Eval("SELECT like(?1, ?1)", {yo + "ё"}), kTooComplex);
    }
}

TEST(UnicodeSqlFunctions, CaseFunctionsMapOneUnitForOne) {
    ExpectCasesInEveryEncoding({
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
        // Characters above U+FFFF are kept, never mapped.
        {"SELECT upper('𐐨')", TextOutcome("𐐨")},
        {"SELECT lower('𐐀a')", TextOutcome("𐐀a")},
        {"SELECT fold('𐐀A')", TextOutcome("𐐀a")},
        {"SELECT title('𐐨a')", TextOutcome("𐐨A")},
        {"SELECT upper(char(65601))", TextOutcome("\xF0\x90\x81\x81")},
    });
}

TEST(UnicodeSqlFunctions, Unaccent) {
    ExpectCasesInEveryEncoding({
        {"SELECT unaccent('Ærøskøbing')", TextOutcome("AEroskobing")},
        {"SELECT unaccent('й')", TextOutcome("и")},
        {"SELECT unaccent('Ёлка éte ї')", TextOutcome("Елка ete і")},
        {"SELECT unaccent('Œuvre ﬁn ǆ')", TextOutcome("OEuvre fin dz")},
        {"SELECT unaccent('½ ™ ① Ａ')", TextOutcome("1⁄2 TM 1 A")},
        {"SELECT unaccent('a' || char(160) || 'b')", TextOutcome("a b")},
        {"SELECT unaccent('ł ø đ ƒ')", TextOutcome("l o d f")},
        {"SELECT unaccent('e' || char(769) || ' 한 plain')", TextOutcome("e\xCC\x81 한 plain")},
        {"SELECT length(unaccent(char(65018)))", TextOutcome("18")},
        {"SELECT unaccent('')", TextOutcome("")},
        {"SELECT unaccent(NULL)", NullOutcome()},
        {"SELECT unaccent('𝐀é')", TextOutcome("𝐀e")},
    });
}

TEST(UnicodeSqlFunctions, EmbeddedNulEndsTheResult) {
    for (const char* encoding : kEncodings) {
        SCOPED_TRACE(encoding);
        ExpectCases(Connection(encoding), {
                                              {"SELECT hex(upper('ab' || char(0) || 'cd'))",
                                               TextOutcome(EncodedHex(encoding, u"AB"))},
                                              {"SELECT hex(fold('AB' || char(0) || 'CD'))",
                                               TextOutcome(EncodedHex(encoding, u"ab"))},
                                              {"SELECT hex(unaccent('æ' || char(0) || 'x'))",
                                               TextOutcome(EncodedHex(encoding, u"ae"))},
                                          });
    }
}

// SQLite reads a leading U+FEFF or U+FFFE of a UTF-16 result as a byte-order mark; the text
// functions keep both, wherever they stand, in every database encoding.
TEST(UnicodeSqlFunctions, TextFunctionsKeepLeadingByteOrderMarks) {
    struct Function {
        const char* name;
        std::u16string result; // of «é»
    };
    const Function functions[] = {
        {"fold", u"é"}, {"lower", u"é"}, {"upper", u"É"}, {"title", u"É"}, {"unaccent", u"e"}};
    const std::u16string marks[] = {
        u"", u"\uFEFF", u"\uFFFE", u"\uFEFF\uFEFF", u"\uFEFF\uFFFE", u"\uFFFE\uFEFF"};
    for (const char* encoding : kEncodings) {
        SCOPED_TRACE(encoding);
        const Connection db(encoding);
        for (const Function& f : functions) {
            for (const std::u16string& mark : marks) {
                const std::string sql = std::string("SELECT hex(") + f.name + "(" +
                                        StoredText(encoding, mark + u"é" + mark) + "))";
                EXPECT_EQ(db.Eval(sql), TextOutcome(EncodedHex(encoding, mark + f.result + mark)))
                    << sql;
            }
            const std::string sql =
                std::string("SELECT hex(") + f.name + "(" + StoredText(encoding, u"\uFFFE") + "))";
            EXPECT_EQ(db.Eval(sql), TextOutcome(EncodedHex(encoding, u"\uFFFE"))) << sql;
        }
        EXPECT_EQ(db.Eval("SELECT hex(upper(char(65279) || 'abc'))"),
                  TextOutcome(EncodedHex(encoding, u"\uFEFFABC")));
    }
}

// A sequence such as EF AC 81 80 reads as a value beyond U+10FFFF: the UTF-8 forms write
// U+FFFD for it, while SQLite's conversion to UTF-16 keeps 20 of its bits.
bool HasValueBeyondUnicode(const std::string& text) {
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = at + text.size();
    while (at < end)
        if (ReadUtf8(at, end) > kLastCodePoint)
            return true;
    return false;
}

// The UTF-8 forms read the text as SQLite's conversion to UTF-16 would, malformed sequences
// included: both databases give the same results. Only U+FFFE and U+FFFF, which that
// conversion turns into U+FFFD, and values beyond U+10FFFF are left out.
TEST(UnicodeSqlFunctions, TextFunctionsAgreeInUtf8AndUtf16Databases) {
    const std::vector<std::string> pieces = {"a",
                                             "Z",
                                             "é",
                                             "ß",
                                             "ǅ",
                                             "\xE2\x84\xA6",
                                             "ı",
                                             "\xE2\x84\xAA",
                                             "Ⱥ",
                                             "ﬁ",
                                             "½",
                                             "\xEF\xB7\xBA",
                                             "𐐀",
                                             "😀",
                                             "\xD0",
                                             "\x80",
                                             "\xB5",
                                             "\xC0\x80",
                                             "\xED\xA0\x80",
                                             "\xE2\x82",
                                             "\xEF\xBB\xBF",
                                             std::string(1, '\0')};
    const Connection utf8("UTF-8"), utf16("UTF-16le");
    std::mt19937 random(32);
    for (int i = 0; i < 3000; ++i) {
        std::string text;
        for (std::size_t length = random() % 6; length > 0; --length)
            text += pieces[random() % pieces.size()];
        if (HasValueBeyondUnicode(text))
            continue;
        for (const char* function : {"fold", "lower", "upper", "title", "unaccent"}) {
            const std::string sql = std::string("SELECT ") + function + "(?1)";
            ASSERT_EQ(utf8.Eval(sql, {text}), utf16.Eval(sql, {text})) << sql << " " << text;
        }
    }
}

TEST(UnicodeSqlFunctions, NoCaseCollationInEveryEncoding) {
    for (const char* encoding : kEncodings) {
        SCOPED_TRACE(encoding);
        Connection db(encoding);
        ExpectCases(db, {
                            {"SELECT 'ЁЛКА' = 'елка' COLLATE NOCASE", kTrue},
                            {"SELECT 'ÉCLAIR' = 'éclair' COLLATE NOCASE", kTrue},
                            {"SELECT 'Éclair' = 'eclair' COLLATE NOCASE", kTrue},
                            {"SELECT 'abc' < 'ABD' COLLATE NOCASE", kTrue},
                            {"SELECT 'ABC' = 'abc' COLLATE NOCASE", kTrue},
                            {"SELECT '' < 'a' COLLATE NOCASE", kTrue},
                            {"SELECT '' = '' COLLATE NOCASE", kTrue},
                            {"SELECT 'abc' < 'abcd' COLLATE NOCASE", kTrue},
                            {"SELECT 'é' < 'ea' COLLATE NOCASE", kTrue},
                            {"SELECT 'Ａ' < 'abc' COLLATE NOCASE", kTrue},
                            {"SELECT 'ﬁ' < 'fxy' COLLATE NOCASE", kTrue},
                            {"SELECT char(65601) = 'a' COLLATE NOCASE", kFalse},
                            {"SELECT char(65536) > '' COLLATE NOCASE", kTrue},
                        });
        db.Exec("CREATE TABLE t(name TEXT COLLATE NOCASE)");
        db.Exec("INSERT INTO t VALUES ('ёж'), ('Ель'), ('ДЫМ'), ('ель'), ('Ёж'), ('абв')");
        EXPECT_EQ(db.Eval("SELECT group_concat(name, ',') FROM (SELECT name FROM t ORDER BY "
                          "name, rowid)"),
                  TextOutcome("абв,ДЫМ,ёж,Ёж,Ель,ель"));
        EXPECT_EQ(db.Eval("SELECT count(DISTINCT name) FROM t"), TextOutcome("4"));

        // Characters above U+FFFF sort by code point after the 16-bit range.
        db.Exec("CREATE TABLE wide(name TEXT COLLATE NOCASE)");
        db.Exec("INSERT INTO wide VALUES (char(65601)), ('я'), ('ｚ'), (char(65536)), ('A'), "
                "(char(65533))");
        EXPECT_EQ(db.Eval("SELECT group_concat(printf('%X', unicode(name)), ',') FROM (SELECT "
                          "name FROM wide ORDER BY name)"),
                  TextOutcome("41,FF5A,44F,FFFD,10000,10041"));

        // A unique index accepts texts that differ only after a shorter one runs out, and
        // DISTINCT does not depend on the order of insertion.
        db.Exec("CREATE TABLE u(name TEXT UNIQUE COLLATE NOCASE)");
        db.Exec("INSERT INTO u VALUES ('é'), ('ea'), ('eb'), ('Ａ'), ('abc')");
        EXPECT_THROW(db.Exec("INSERT INTO u VALUES ('E')"), std::runtime_error);
        EXPECT_EQ(db.Eval("SELECT count(*) FROM u"), TextOutcome("5"));
        for (const char* rows : {"('é'), ('ea'), ('eb'), ('É')", "('ea'), ('É'), ('eb'), ('é')"}) {
            db.Exec("DROP TABLE IF EXISTS d");
            db.Exec("CREATE TABLE d(name TEXT COLLATE NOCASE)");
            db.Exec(std::string("INSERT INTO d VALUES ") + rows);
            EXPECT_EQ(db.Eval("SELECT count(DISTINCT name) FROM d"), TextOutcome("3")) << rows;
        }
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
