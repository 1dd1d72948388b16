#include "data/unicode_collation.h"

#include "data/unicode_maps.h"
#include "data/unicode_utf8.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace sepmet {
namespace {

// -1, 0 or 1 when the first of two texts runs out of characters first, with the second, or
// after it.
int EndOrder(bool more1, bool more2) {
    return int{more1} - int{more2};
}

int KeyOrder(char32_t key1, char32_t key2) {
    return key1 < key2 ? -1 : 1;
}

int CompareUtf8(const unsigned char* a, const unsigned char* end1, const unsigned char* b,
                const unsigned char* end2) {
    const char16_t* const keys = ComparisonKeys();
    for (;;) {
        const bool more1 = a < end1 && *a != 0;
        const bool more2 = b < end2 && *b != 0;
        if (!more1 || !more2)
            return EndOrder(more1, more2);
        // Two ASCII bytes are read directly.
        if ((*a | *b) < 0x80) {
            const char16_t key1 = keys[*a++], key2 = keys[*b++];
            if (key1 != key2)
                return KeyOrder(key1, key2);
        } else {
            const char32_t key1 = ComparisonKey(keys, ReadUtf8(a, end1));
            const char32_t key2 = ComparisonKey(keys, ReadUtf8(b, end2));
            if (key1 != key2)
                return KeyOrder(key1, key2);
        }
    }
}

char16_t LoadUnit(const unsigned char* text, std::size_t index) {
    char16_t unit;
    std::memcpy(&unit, text + 2 * index, sizeof unit);
    return unit;
}

// The key of the character that starts with unit, the unit at index - 1: a high surrogate
// followed by a low one is a character above U+FFFF, as in UTF-8; any other unit is one
// character. index moves past the character.
char32_t KeyFrom(const char16_t* keys, char16_t unit, const unsigned char* text, std::size_t units,
                 std::size_t& index) {
    if ((unit & 0xFC00) == 0xD800 && index < units) {
        const char16_t low = LoadUnit(text, index);
        if ((low & 0xFC00) == 0xDC00) {
            ++index;
            return 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return keys[unit];
}

int CompareUtf16(const unsigned char* a, std::size_t units1, const unsigned char* b,
                 std::size_t units2) {
    const char16_t* const keys = ComparisonKeys();
    std::size_t i = 0, j = 0;
    for (;;) {
        const char16_t unit1 = i < units1 ? LoadUnit(a, i) : 0;
        const char16_t unit2 = j < units2 ? LoadUnit(b, j) : 0;
        if (unit1 == 0 || unit2 == 0)
            return EndOrder(unit1 != 0, unit2 != 0);
        ++i;
        ++j;
        if ((unit1 | unit2) < 0xD800) {
            const char16_t key1 = keys[unit1], key2 = keys[unit2];
            if (key1 != key2)
                return KeyOrder(key1, key2);
        } else {
            const char32_t key1 = KeyFrom(keys, unit1, a, units1, i);
            const char32_t key2 = KeyFrom(keys, unit2, b, units2, j);
            if (key1 != key2)
                return KeyOrder(key1, key2);
        }
    }
}

} // namespace

int NoCaseCompare(void* context, int length1, const void* text1, int length2, const void* text2) {
    // SQLite never passes negative lengths; treating one as empty keeps the reads in range.
    length1 = std::max(length1, 0);
    length2 = std::max(length2, 0);
    const auto encoding = static_cast<int>(reinterpret_cast<std::intptr_t>(context));
    const auto* a = static_cast<const unsigned char*>(text1);
    const auto* b = static_cast<const unsigned char*>(text2);
    if (encoding == kNoCaseUtf8)
        return CompareUtf8(a, a + length1, b, b + length2);
    if (encoding == kNoCaseUtf16)
        return CompareUtf16(a, static_cast<std::size_t>(length1) / 2, b,
                            static_cast<std::size_t>(length2) / 2);
    return length1 - length2;
}

} // namespace sepmet
