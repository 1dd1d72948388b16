#pragma once
// UTF-8 reading of the SQL functions: a byte below 0xC0 is one character; a byte of 0xC0 or
// above starts a character from its low bits, and every following byte 10xxxxxx adds six bits.
// A multi-byte character below 0x80 or in 0xD800–0xDFFF reads as 0xFFFD. Overlong and
// oversized sequences are read the same way, never rejected. U+FFFE and U+FFFF are characters
// like any other: a UTF-16 text holds them as units, so both encodings read them alike.

#include <cstddef>
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
    if (value < 0x80 || (value & 0xFFFFF800) == 0xD800)
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

inline constexpr char32_t kLastCodePoint = 0x10FFFF;

// The number of bytes WriteUtf8 writes for the character.
inline std::size_t Utf8Size(char32_t character) {
    if (character < 0x80)
        return 1;
    if (character < 0x800)
        return 2;
    if (character < 0x10000 || character > kLastCodePoint)
        return 3;
    return 4;
}

// Writes the character (not a surrogate) and returns the position after it; a value above
// U+10FFFF, which no UTF-8 sequence may carry, is written as U+FFFD.
inline unsigned char* WriteUtf8(unsigned char* out, char32_t character) {
    if (character < 0x80) {
        *out++ = static_cast<unsigned char>(character);
    } else if (character < 0x800) {
        *out++ = static_cast<unsigned char>(0xC0 | character >> 6);
        *out++ = static_cast<unsigned char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000 || character > kLastCodePoint) {
        if (character > kLastCodePoint)
            character = 0xFFFD;
        *out++ = static_cast<unsigned char>(0xE0 | character >> 12);
        *out++ = static_cast<unsigned char>(0x80 | (character >> 6 & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (character & 0x3F));
    } else {
        *out++ = static_cast<unsigned char>(0xF0 | character >> 18);
        *out++ = static_cast<unsigned char>(0x80 | (character >> 12 & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (character >> 6 & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (character & 0x3F));
    }
    return out;
}

} // namespace sepmet
