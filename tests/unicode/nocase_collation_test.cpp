// The NOCASE comparison on the byte ranges SQLite hands over: exact-size buffers (so that the
// address sanitizer sees any read past a length) and UTF-16 texts at odd addresses.

#include "data/unicode_collation.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace sepmet::test {
namespace {

// A copy of the bytes in a heap block of exactly that size, starting at an odd address when
// asked.
class ExactBytes {
public:
    ExactBytes(const std::string& bytes, bool oddAddress)
        : offset_(oddAddress ? 1 : 0), size_(static_cast<int>(bytes.size())),
          storage_(new unsigned char[bytes.size() + offset_]) {
        std::memcpy(storage_.get() + offset_, bytes.data(), bytes.size());
    }
    const void* data() const { return storage_.get() + offset_; }
    int size() const { return size_; }

private:
    std::size_t offset_;
    int size_;
    std::unique_ptr<unsigned char[]> storage_;
};

int Sign(int value) {
    return (value > 0) - (value < 0);
}

int Compare(int encoding, const std::string& a, const std::string& b, bool oddAddress = false) {
    const ExactBytes first(a, oddAddress), second(b, oddAddress);
    return Sign(NoCaseCompare(reinterpret_cast<void*>(static_cast<std::intptr_t>(encoding)),
                              first.size(), first.data(), second.size(), second.data()));
}

std::string Utf16(const std::u16string& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), 2 * text.size());
}

TEST(NoCaseCollation, Utf8Texts) {
    struct Case {
        std::string a, b;
        int expected;
    };
    const std::string u10000 = "\xF0\x90\x80\x80", u10041 = "\xF0\x90\x81\x81";
    const Case cases[] = {
        {"ЁЛКА", "елка", 0},
        {"abc", "ABD", -1},
        {"", "a", -1},
        {"", "", 0},
        {"Abc", "abcd", -1},
        {"Éa", "éA", 0},
        {"b", "A", 1},
        // Texts that run out of characters together are equal whatever their byte lengths;
        // otherwise the one that runs out first sorts first.
        {"Éclair", "eclair", 0},
        {"é", "ea", -1},
        {"é", "eb", -1},
        {"Ａ", "abc", -1},
        {"ﬁ", "fxy", -1},
        {"жёлтый", "ЖЕЛТЫЙ", 0},
        // A NUL character ends a text, in either text.
        {std::string("a\0b", 3), std::string("a\0c", 3), 0},
        {std::string("a\0", 2), "a", 0},
        {std::string("a\0", 2), "ab", -1},
        // Characters above U+FFFF equal only themselves and sort after the 16-bit range.
        {u10000, "", 1},
        {u10041, "a", 1},
        {u10041, "\xEF\xBF\xBD", 1},
        {u10041, u10041, 0},
        {u10000, u10041, -1},
        {"a" + u10041, "A" + u10041, 0},
        // U+FFFE and U+FFFF are characters of their own, not U+FFFD.
        {"\xEF\xBF\xBE", "\xEF\xBF\xBD", 1},
        {"\xEF\xBF\xBF", "\xEF\xBF\xBE", 1},
        // Characters cut by the end of a text: a lone lead byte reads as U+FFFD.
        {"a\xD0", "a\xD0\x90", 1},
        {"\xE2\x82", "\xE2\x82\xAC", -1},
        {"x\xF0\x90\x81", "xy", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Compare(kNoCaseUtf8, c.a, c.b), c.expected) << c.a << " / " << c.b;
        EXPECT_EQ(Compare(kNoCaseUtf8, c.b, c.a), -c.expected) << c.b << " / " << c.a;
    }
}

TEST(NoCaseCollation, Utf16TextsAtAnyAddress) {
    struct Case {
        std::u16string a, b;
        int expected;
    };
    const Case cases[] = {
        {u"ЁЛКА", u"елка", 0},
        {u"abc", u"ABD", -1},
        {u"", u"a", -1},
        {u"", u"", 0},
        {u"Éclair", u"eclair", 0},
        {u"ab", u"abc", -1},
        {u"b", u"A", 1},
        {u"é", u"ea", -1},
        {std::u16string(u"a\0b", 3), std::u16string(u"a\0c", 3), 0},
        {std::u16string(u"a\0", 2), u"a", 0},
        // A surrogate pair is one character, keyed by its code point as in UTF-8.
        {u"\U00010041", u"a", 1},
        {u"\U00010041", u"\uFFFD", 1},
        {u"\U00010041", u"\U00010041", 0},
        {u"\U00010000", u"\U00010041", -1},
        {u"\U00010041x", u"\U00010041X", 0},
        {u"\U00010041", u"a\U00010041", 1},
        // A lone surrogate is one character with its own value.
        {u"\xD800", u"\xD800", 0},
        {u"\xD800"
         u"a",
         u"\xD800"
         u"b",
         -1},
        {u"\xDC00", u"\xD800", 1},
        {u"\xD800", u"\U00010000", -1},
    };
    for (const bool odd : {false, true}) {
        for (const Case& c : cases) {
            EXPECT_EQ(Compare(kNoCaseUtf16, Utf16(c.a), Utf16(c.b), odd), c.expected);
            EXPECT_EQ(Compare(kNoCaseUtf16, Utf16(c.b), Utf16(c.a), odd), -c.expected);
        }
        // A stray odd byte at the end is no unit, as when SQLite converts the text.
        EXPECT_EQ(Compare(kNoCaseUtf16, Utf16(u"ab") + "x", Utf16(u"ab"), odd), 0);
        EXPECT_EQ(Compare(kNoCaseUtf16, Utf16(u"ab") + "x", Utf16(u"abc"), odd), -1);
        // A high surrogate at the end, followed by one byte of a unit only.
        EXPECT_EQ(
            Compare(kNoCaseUtf16, Utf16(u"\xD800") + std::string(1, '\xDC'), Utf16(u"\xD800"), odd),
            0);
    }
}

// One character in both encodings.
struct Character {
    std::string utf8;
    std::u16string utf16;
};

// Letters of one, two, three and four UTF-8 bytes that share keys across case, accents and
// byte lengths («e», «é», «É», «Ｅ»), and letters whose key is only a prefix of another text's
// keys («ﬁ» is keyed as «f»).
const std::vector<Character> kAlphabet = {
    {"e", u"e"},
    {"E", u"E"},
    {"é", u"é"},
    {"É", u"É"},
    {"Ｅ", u"Ｅ"},
    {"a", u"a"},
    {"b", u"b"},
    {"f", u"f"},
    {"ﬁ", u"ﬁ"},
    {"ё", u"ё"},
    {"Е", u"Е"},
    {"ж", u"ж"},
    {"€", u"€"},
    {"ß", u"ß"},
    {"\xF0\x90\x81\x81", u"\U00010041"},
    {"\xF0\x9F\x98\x80", u"\U0001F600"},
    {"\xEF\xBF\xBD", u"\uFFFD"},
};

struct Text {
    std::string utf8, utf16;
};

Text RandomText(std::mt19937& random) {
    std::string utf8;
    std::u16string utf16;
    for (std::size_t length = random() % 5; length > 0; --length) {
        const Character& c = kAlphabet[random() % kAlphabet.size()];
        utf8 += c.utf8;
        utf16 += c.utf16;
    }
    return {utf8, Utf16(utf16)};
}

TEST(NoCaseCollation, IsATotalOrderOnRandomTriples) {
    std::mt19937 random(8);
    for (int i = 0; i < 4000; ++i) {
        const Text x = RandomText(random), y = RandomText(random), z = RandomText(random);
        for (const int encoding : {kNoCaseUtf8, kNoCaseUtf16}) {
            const auto text = [&](const Text& t) {
                return encoding == kNoCaseUtf8 ? t.utf8 : t.utf16;
            };
            const int xy = Compare(encoding, text(x), text(y));
            const int yz = Compare(encoding, text(y), text(z));
            const int xz = Compare(encoding, text(x), text(z));
            const std::string trace = x.utf8 + " / " + y.utf8 + " / " + z.utf8;
            ASSERT_EQ(Compare(encoding, text(y), text(x)), -xy) << trace;
            // x ≤ y ≤ z gives x ≤ z, equal only when all three are equal; the same for ≥.
            if (xy <= 0 && yz <= 0) {
                ASSERT_EQ(xz, std::min(xy, yz)) << trace;
            }
            if (xy >= 0 && yz >= 0) {
                ASSERT_EQ(xz, std::max(xy, yz)) << trace;
            }
        }
    }
}

TEST(NoCaseCollation, Utf8AndUtf16OrderEveryPairAlike) {
    std::mt19937 random(16);
    for (int i = 0; i < 20000; ++i) {
        const Text x = RandomText(random), y = RandomText(random);
        ASSERT_EQ(Compare(kNoCaseUtf8, x.utf8, y.utf8), Compare(kNoCaseUtf16, x.utf16, y.utf16))
            << x.utf8 << " / " << y.utf8;
    }
}

TEST(NoCaseCollation, UnknownContextComparesLengthsOnly) {
    EXPECT_EQ(Compare(2, "abc", "xyz"), 0);
    EXPECT_EQ(Compare(2, "abcd", "a"), 1);
}

} // namespace
} // namespace sepmet::test
