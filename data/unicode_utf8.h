#pragma once
// UTF-8 reading of "like" and "NOCASE": a byte below 0xC0 is one character; a byte of 0xC0 or
// above starts a character from its low bits, and every following byte 10xxxxxx adds six bits.
// A multi-byte character below 0x80, in 0xD800–0xDFFF or equal to 0xFFFE/0xFFFF reads as
// 0xFFFD. Overlong and oversized sequences are read the same way, never rejected.

#include <cstdint>

namespace sepmet {

namespace utf8_detail {
// The value bits of a lead byte 0xC0…0xFF: 5, 4, 3, 2, 1 or 0 low bits.
inline constexpr std::uint8_t kLeadValue[64] = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f,
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1d, 0x1e, 0x1f,
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f,
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x00, 0x01, 0x02, 0x03, 0x00, 0x01, 0x00, 0x00,
};

inline char32_t Checked(char32_t value) {
    if (value < 0x80 || (value & 0xFFFFF800) == 0xD800 || (value & 0xFFFFFFFE) == 0xFFFE)
        return 0xFFFD;
    return value;
}
} // namespace utf8_detail

// Reads one character of a NUL-terminated text and advances past it; the end reads as 0 and
// does not advance.
inline char32_t ReadUtf8(const unsigned char*& text) {
    char32_t value = *text;
    if (value < 0xC0) {
        if (value != 0)
            ++text;
        return value;
    }
    value = utf8_detail::kLeadValue[value - 0xC0];
    ++text;
    while ((*text & 0xC0) == 0x80)
        value = (value << 6) + (*text++ & 0x3F);
    return utf8_detail::Checked(value);
}

// Reads one character of the bytes [text, end) and advances past it, never reading at or past
// end; at the end it reads 0. A NUL byte inside the range is the character 0.
inline char32_t ReadUtf8(const unsigned char*& text, const unsigned char* end) {
    if (text >= end)
        return 0;
    char32_t value = *text++;
    if (value < 0xC0)
        return value;
    value = utf8_detail::kLeadValue[value - 0xC0];
    while (text < end && (*text & 0xC0) == 0x80)
        value = (value << 6) + (*text++ & 0x3F);
    return utf8_detail::Checked(value);
}

} // namespace sepmet
