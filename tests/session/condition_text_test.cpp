#include "session/condition_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace sepmet {
namespace {

std::string Narrow(std::u16string_view text) {
    std::string out;
    for (char16_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

TEST(ConditionText, OneFiniteDecimalNumberAfterTrimming) {
    const std::pair<std::u16string_view, double> accepted[] = {
        {u"101.325", 101.325},
        {u"101,325", 101.325},
        {u"+5", 5},
        {u"-3,5", -3.5},
        {u"1e2", 100},
        {u"2,5e-1", 0.25},
        {u"  7 ", 7},
        {u"\t0,7\n", 0.7},
        {u",5", 0.5},
        {u"5.", 5},
        {u"1E+3", 1000},
        {u"\u00a012\u00a0", 12},
    };
    for (const auto& [text, value] : accepted)
        EXPECT_EQ(ParseConditionText(text), value) << Narrow(text);

    const std::u16string_view refused[] = {
        u"",     u"   ",      u"12abc", u"abc",   u"nan",   u"NaN",   u"inf",
        u"-inf", u"infinity", u"0x10",  u"1,2.3", u"1,2,3", u"1e999", u"-1e999",
        u"1e",   u"e5",       u"+",     u".",     u"1 2",   u"--1",   u"1e+-2",
    };
    for (std::u16string_view text : refused)
        EXPECT_FALSE(ParseConditionText(text)) << Narrow(text);
}

TEST(ConditionText, EveryRefusedFieldIsNamed) {
    const ConditionCheck check = CheckConditionTexts({u"100", u" ", u"nan", u"101,325", u"1e999"});
    EXPECT_FALSE(check.Accepted());
    using R = RefusedCondition::Reason;
    EXPECT_THAT(check.refused,
                ::testing::ElementsAre(RefusedCondition{ConditionField::vG, R::Empty},
                                       RefusedCondition{ConditionField::rhoG, R::NotNumber},
                                       RefusedCondition{ConditionField::gasT, R::NotNumber}));

    const ConditionCheck good = CheckConditionTexts({u"250,5", u"12.25", u"0,7", u"99,8", u"-3,5"});
    ASSERT_TRUE(good.Accepted());
    EXPECT_EQ(good.values.vW, 250.5);
    EXPECT_EQ(good.values.vG, 12.25);
    EXPECT_EQ(good.values.rhoG, 0.7);
    EXPECT_EQ(good.values.atmP, 99.8);
    EXPECT_EQ(good.values.gasT, -3.5);
}

TEST(ConditionText, DisplayTextsReadBackAsTheSameValues) {
    const ConditionTexts texts = ConditionDisplayTexts({1.5, 2.25, 0.68, 98.1, -4.3});
    EXPECT_EQ(texts, (ConditionTexts{u"1,500", u"2,250", u"0,680", u"98,100", u"-4,3"}));
    const ConditionCheck check = CheckConditionTexts(texts);
    ASSERT_TRUE(check.Accepted());
    EXPECT_EQ(check.values.rhoG, 0.68);
}

} // namespace
} // namespace sepmet
