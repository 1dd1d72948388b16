#include "data/unicode_collation.h"

#include "data/unicode_maps.h"
#include "data/unicode_utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace sepmet {
namespace {

char16_t LoadUnit(const unsigned char* at) {
    char16_t unit;
    std::memcpy(&unit, at, sizeof unit);
    return unit;
}

// Key by key while both are equal, text1 goes on with a non-NUL byte and fewer than n bytes
// are consumed from each; the key difference of the last pair compared.
int CompareUtf8(const unsigned char* text1, int length1, const unsigned char* text2, int length2,
                int n) {
    const char16_t* const keys = ComparisonKeys();
    const unsigned char* a = text1;
    const unsigned char* b = text2;
    const unsigned char* const end1 = text1 + length1;
    const unsigned char* const end2 = text2 + length2;
    char16_t key1, key2;
    do {
        // Both texts still have a byte here: n > 0, and later fewer than n ≤ length bytes
        // are consumed. Two ASCII bytes are read directly.
        if ((*a | *b) < 0x80) {
            key1 = keys[*a++];
            key2 = keys[*b++];
        } else {
            key1 = ComparisonKey(keys, ReadUtf8(a, end1));
            key2 = ComparisonKey(keys, ReadUtf8(b, end2));
        }
    } while (key1 == key2 && a - text1 < n && b - text2 < n && *a != 0);
    return int{key1} - int{key2};
}

// The same over at most n / 2 units, stopping also at a NUL unit of text1.
int CompareUtf16(const unsigned char* text1, const unsigned char* text2, int n) {
    const char16_t* const keys = ComparisonKeys();
    const int units = n / 2;
    char16_t key1, key2;
    int i = 0;
    do {
        key1 = keys[LoadUnit(text1 + 2 * i)];
        key2 = keys[LoadUnit(text2 + 2 * i)];
        ++i;
    } while (key1 == key2 && i < units && LoadUnit(text1 + 2 * i) != 0);
    return int{key1} - int{key2};
}

} // namespace

int NoCaseCompare(void* context, int length1, const void* text1, int length2, const void* text2) {
    // SQLite never passes negative lengths; treating one as empty keeps the reads in range.
    length1 = std::max(length1, 0);
    length2 = std::max(length2, 0);
    const int n = std::min(length1, length2);
    const auto encoding = static_cast<int>(reinterpret_cast<std::intptr_t>(context));
    const auto* a = static_cast<const unsigned char*>(text1);
    const auto* b = static_cast<const unsigned char*>(text2);
    int partial = 0;
    if (encoding == kNoCaseUtf8 && n > 0)
        partial = CompareUtf8(a, length1, b, length2, n);
    else if (encoding == kNoCaseUtf16 && n >= 2)
        partial = CompareUtf16(a, b, n);
    return partial != 0 ? partial : length1 - length2;
}

} // namespace sepmet
