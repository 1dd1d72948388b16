// The NOCASE comparison on the byte ranges SQLite hands over: exact-size buffers (so that the
// address sanitizer sees any read past a length) and UTF-16 texts at odd addresses.

#include "data/unicode_collation.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>

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
    const Case cases[] = {
        {"ЁЛКА", "елка", 0},
        {"abc", "ABD", -1},
        {"", "a", -1},
        {"", "", 0},
        {"Abc", "abcd", -1},
        {"Éa", "éA", 0},
        {"b", "A", 1},
        {std::string("a\0b", 3), std::string("a\0c", 3), 0}, // text1's NUL ends the keys
        {"Éclair", "eclair", 1}, // «É» takes two bytes: the one-byte «e» side runs out first
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
        {u"ЁЛКА", u"елка", 0},     {u"abc", u"ABD", -1}, {u"", u"a", -1}, {u"", u"", 0},
        {u"Éclair", u"eclair", 0}, {u"ab", u"abc", -1},  {u"b", u"A", 1},
    };
    for (const bool odd : {false, true}) {
        for (const Case& c : cases) {
            EXPECT_EQ(Compare(kNoCaseUtf16, Utf16(c.a), Utf16(c.b), odd), c.expected);
            EXPECT_EQ(Compare(kNoCaseUtf16, Utf16(c.b), Utf16(c.a), odd), -c.expected);
        }
        // A stray odd byte at the end is never read as part of a unit.
        EXPECT_EQ(Compare(kNoCaseUtf16, Utf16(u"ab") + "x", Utf16(u"ab"), odd), 1);
    }
}

TEST(NoCaseCollation, UnknownContextComparesLengthsOnly) {
    EXPECT_EQ(Compare(2, "abc", "xyz"), 0);
    EXPECT_EQ(Compare(2, "abcd", "a"), 1);
}

} // namespace
} // namespace sepmet::test
