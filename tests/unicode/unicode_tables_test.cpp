// The generated tables: the committed source equals a fresh generation, the figures of each
// map, and telling entries of each map.

#include "data/unicode_maps.h"
#include "data/unicode_tables.h"
#include "tools/unicode_tables/two_level_table.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace sepmet::test {
namespace {

bool UnicodeDataInstalled() {
    return std::filesystem::exists(SEPMET_UNICODE_DATA_DIR "/UnicodeData.txt") &&
           std::filesystem::exists(SEPMET_UNICODE_DATA_DIR "/DerivedAge.txt") &&
           std::filesystem::exists(SEPMET_UNICODE_DATA_DIR "/CaseFolding.txt");
}

TEST(UnicodeTables, CommittedSourceEqualsAFreshGeneration) {
    if (!UnicodeDataInstalled())
        GTEST_SKIP() << "Unicode data not installed in " SEPMET_UNICODE_DATA_DIR;
    std::vector<std::string> figures;
    const std::string generated =
        unicode_tables::GenerateTablesSource(SEPMET_UNICODE_DATA_DIR, &figures);
    std::ifstream committed(SEPMET_SOURCE_DIR "/data/unicode_tables.cpp", std::ios::binary);
    std::stringstream text;
    text << committed.rdbuf();
    EXPECT_TRUE(generated == text.str()) << "regenerate data/unicode_tables.cpp with the "
                                            "unicode_tables tool";
    const std::vector<std::string> expected = {
        "fold: 995 units changed (0 longer than one unit), 69 distinct blocks, longest result 1 "
        "(U+0041)",
        "lower: 983 units changed (0 longer than one unit), 67 distinct blocks, longest result 1 "
        "(U+0041)",
        "upper: 991 units changed (0 longer than one unit), 44 distinct blocks, longest result 1 "
        "(U+0061)",
        "title: 995 units changed (0 longer than one unit), 44 distinct blocks, longest result 1 "
        "(U+0061)",
        "unaccent: 4385 units changed (1040 longer than one unit), 239 distinct blocks, longest "
        "result 18 (U+FDFA)",
    };
    EXPECT_EQ(figures, expected);
}

std::u16string Result(const UnicodeTable& table, char16_t unit) {
    const MapResult result = Lookup(table, unit);
    if (result.IsSelf())
        return std::u16string(1, unit);
    return std::u16string(result.units, result.size);
}

TEST(UnicodeTables, CaseMaps) {
    struct Case {
        const UnicodeTable* table;
        char16_t unit;
        char16_t expected;
    };
    const Case cases[] = {
        {&kFoldTable, u'Ё', u'ё'},  {&kFoldTable, u'ς', u'σ'},  {&kFoldTable, u'Σ', u'σ'},
        {&kFoldTable, u'ẞ', u'ß'},  {&kFoldTable, u'İ', u'İ'},  {&kFoldTable, u'Ω', u'ω'},
        {&kLowerTable, u'İ', u'i'}, {&kLowerTable, u'ς', u'ς'}, {&kLowerTable, u'Ａ', u'ａ'},
        {&kUpperTable, u'ß', u'ß'}, {&kUpperTable, u'ÿ', u'Ÿ'}, {&kUpperTable, u'ǅ', u'Ǆ'},
        {&kTitleTable, u'ǆ', u'ǅ'}, {&kTitleTable, u'ǅ', u'ǅ'}, {&kTitleTable, u'Ǆ', u'ǅ'},
        {&kTitleTable, u'a', u'A'}, {&kUpperTable, u'ა', u'ა'}, {&kTitleTable, u'ა', u'ა'},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MapUnit(*c.table, c.unit), c.expected) << std::hex << int{c.unit};
    EXPECT_EQ(FoldUnit(u'М'), u'м');
}

TEST(UnicodeTables, Unaccent) {
    struct Case {
        char16_t unit;
        std::u16string expected;
    };
    const Case cases[] = {
        {u'é', u"e"},        {u'Ё', u"Е"},  {u'й', u"и"},   {u'ї', u"і"},   {u'æ', u"ae"},
        {u'Œ', u"OE"},       {u'ﬁ', u"fi"}, {u'ǆ', u"dz"},  {u'½', u"1⁄2"}, {u'™', u"TM"},
        {u'①', u"1"},        {u'Ａ', u"A"}, {0x00A0, u" "}, {u'ł', u"l"},   {u'ø', u"o"},
        {u'đ', u"d"},        {u'ƒ', u"f"},  {u'ǿ', u"o"},   {u'Ǽ', u"AE"},  {0x0301, u"\u0301"},
        {u'한', u"한"},      {u'a', u"a"},  {u'Z', u"Z"},   {u'ж', u"ж"},   {0xD800, u"\xD800"},
        {0xDFFF, u"\xDFFF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Result(kUnaccentTable, c.unit), c.expected) << std::hex << int{c.unit};
    EXPECT_EQ(Result(kUnaccentTable, 0xFDFA).size(), 18u);
}

TEST(UnicodeTables, SurrogatesAndAsciiOutsideTheLettersAreUnchangedByEveryMap) {
    for (const UnicodeTable* table :
         {&kFoldTable, &kLowerTable, &kUpperTable, &kTitleTable, &kUnaccentTable}) {
        for (unsigned unit = 0xD800; unit <= 0xDFFF; ++unit)
            ASSERT_TRUE(Lookup(*table, static_cast<char16_t>(unit)).IsSelf()) << unit;
        for (char16_t unit : {u'0', u'%', u'_', u' '})
            EXPECT_TRUE(Lookup(*table, unit).IsSelf());
    }
}

TEST(UnicodeTables, ComparisonKeysIgnoreCaseAndAccents) {
    const char16_t* keys = ComparisonKeys();
    EXPECT_EQ(keys[u'Ё'], keys[u'е']);
    EXPECT_EQ(keys[u'ё'], keys[u'Е']);
    EXPECT_EQ(keys[u'Й'], keys[u'и']);
    EXPECT_EQ(keys[u'É'], u'e');
    EXPECT_EQ(keys[u'Æ'], u'a');
    EXPECT_EQ(keys[u'A'], u'a');
    EXPECT_NE(keys[u'ж'], keys[u'з']);
    // Characters above U+FFFF are their own keys; only the end of a text has key 0.
    EXPECT_EQ(ComparisonKey(keys, 0x10041), char32_t{0x10041});
    EXPECT_EQ(ComparisonKey(keys, 0x10000), char32_t{0x10000});
    EXPECT_EQ(ComparisonKey(keys, 0), char32_t{0});
    for (unsigned unit = 1; unit < 0x10000; ++unit)
        ASSERT_NE(keys[unit], 0) << std::hex << unit;
}

// The UTF-8 forms of the text functions write each result unit as one character.
TEST(UnicodeTables, NoMapResultHoldsASurrogateOrNul) {
    for (const UnicodeTable* table :
         {&kFoldTable, &kLowerTable, &kUpperTable, &kTitleTable, &kUnaccentTable}) {
        for (unsigned unit = 1; unit < 0x10000; ++unit) {
            const MapResult result = Lookup(*table, static_cast<char16_t>(unit));
            if (result.IsSelf())
                continue;
            for (std::size_t i = 0; i < result.size; ++i)
                ASSERT_TRUE(result.units[i] != 0 && (result.units[i] & 0xF800) != 0xD800)
                    << std::hex << unit;
        }
    }
}

} // namespace
} // namespace sepmet::test
