#include "platform/number_text.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace sepmet {
namespace {

TEST(NumberText, FormatsWithDecimalComma) {
    struct Case {
        std::u16string got, want;
    } cases[] = {
        {FormatFixed(101.325, 3), u"101,325"},
        {FormatFixed(20, 1), u"20,0"},
        {FormatFixed(0.049, 4), u"0,0490"},
        {FormatFixed(5, 2), u"5,00"},
        {FormatFixed(0.0000005, 6), u"0,000000"}, // binary value lies below the half
        {FormatFixed(-0.0, 6), u"-0,000000"},
        {FormatFixed(2.5, 0), u"2"}, // printf rounds the exact binary value
        {FormatGeneral(101.325, 10), u"101,325"},
        {FormatGeneral(20, 10), u"20"},
        {FormatGeneral(0, 10), u"0"},
        {FormatGeneral(1e-7, 10), u"1e-07"},
        {FormatGeneral(12345678901.0, 10), u"1,23456789e+10"},
        {FormatInteger(-42), u"-42"},
        {FormatValueWithUncertainty(0.0505, 0.0108143), u"0,050500 ± 0,010814"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.want);
}

TEST(NumberText, IgnoresTheProcessLocale) {
    // A host may have switched the process to a locale whose decimal point is a comma already.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    std::setlocale(LC_NUMERIC, "C.UTF-8");
    EXPECT_EQ(FormatFixed(1.5, 1), u"1,5");
    EXPECT_EQ(ParseDecimalCommaPrefix(u"1,5"), 1.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(NumberText, ParsesLikeScanfUnderDecimalComma) {
    struct Case {
        std::u16string text;
        std::optional<double> want;
        std::size_t consumed;
    } cases[] = {
        {u"12abc", 12, 2},        {u"abc", std::nullopt, 0},
        {u"101.325", 101, 3},     {u"101,325", 101.325, 7},
        {u"  -2,5e1x", -25, 8},   {u"", std::nullopt, 0},
        {u",5", 0.5, 2},          {u"+7", 7, 2},
        {u"Ё1", std::nullopt, 0},
    };
    for (const auto& c : cases) {
        std::size_t consumed = 99;
        EXPECT_EQ(ParseDecimalCommaPrefix(c.text, &consumed), c.want);
        EXPECT_EQ(consumed, c.consumed);
    }
    auto inf = ParseDecimalCommaPrefix(u"inf");
    ASSERT_TRUE(inf);
    EXPECT_TRUE(std::isinf(*inf));
}

TEST(NumberText, FillPlaceholderKeepsPercentSignsOfTheValue) {
    EXPECT_EQ(FillPlaceholder(u"Для %s количество", u"%s", u"100%d"), u"Для 100%d количество");
    EXPECT_EQ(FillPlaceholder(u"нет", u"%s", u"x"), u"нет");
}

} // namespace
} // namespace sepmet
