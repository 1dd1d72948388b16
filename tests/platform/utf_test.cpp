#include "platform/utf.h"

#include <gtest/gtest.h>

namespace sepmet {
namespace {

TEST(Utf, RoundTripsAndReplacesWhatIsNotText) {
    const struct {
        std::string utf8;
        std::u16string utf16;
    } pairs[] = {
        {"", u""},
        {"abc <x/>", u"abc <x/>"},
        {"Метанол ё", u"Метанол ё"},
        {"\xE2\x80\x94", u"\u2014"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"a\xEF\xBF\xBE", u"a\uFFFE"},
    };
    for (const auto& p : pairs) {
        EXPECT_EQ(FromUtf8(p.utf8), p.utf16) << p.utf8;
        EXPECT_EQ(ToUtf8(p.utf16), p.utf8) << p.utf8;
    }
    // Each byte of a sequence that is not UTF-8 reads as one U+FFFD.
    const struct {
        std::string utf8;
        std::u16string utf16;
    } bad[] = {
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                     // overlong "/"
        {"\xED\xA0\x80x", u"\uFFFD\uFFFD\uFFFDx"},         // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, // beyond U+10FFFF
        {"x\xE2\x82", u"x\uFFFD\uFFFD"},                   // cut short
        {"\x80y", u"\uFFFDy"},
    };
    for (const auto& b : bad)
        EXPECT_EQ(FromUtf8(b.utf8), b.utf16);
    // A lone surrogate writes as U+FFFD.
    EXPECT_EQ(ToUtf8(std::u16string{u'a', char16_t(0xD800), u'b', char16_t(0xDC00)}),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
}

} // namespace
} // namespace sepmet
