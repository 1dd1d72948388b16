#include "platform/utf.h"

namespace sepmet {
namespace {

// Writers into a buffer sized for the longest result, so that the loops below neither test the
// capacity nor grow the string per character.
char* PutUtf8(char* out, char32_t c) {
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (c >> 18));
        *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

char16_t* PutUtf16(char16_t* out, char32_t c) {
    if (c < 0x10000) {
        *out++ = static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        *out++ = static_cast<char16_t>(0xD800 + (c >> 10));
        *out++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
    return out;
}

} // namespace

std::string ToUtf8(std::u16string_view text) {
    // At most three bytes per unit: a surrogate pair (two units) takes four.
    std::string out(text.size() * 3, '\0');
    char* put = out.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            *put++ = static_cast<char>(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        put = PutUtf8(put, c);
    }
    out.resize(static_cast<std::size_t>(put - out.data()));
    return out;
}

std::u16string FromUtf8(std::string_view text) {
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    // At most one unit per byte: a four-byte sequence gives two units.
    std::u16string out(text.size(), u'\0');
    char16_t* put = out.data();
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            *put++ = lead;
            ++i;
            continue;
        }
        int extra = (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
        bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
        char32_t c = 0;
        if (ok) {
            c = lead & (0x7F >> (extra + 1));
            for (int k = 1; ok && k <= extra; ++k) {
                unsigned char next = static_cast<unsigned char>(text[i + k]);
                ok = (next & 0xC0) == 0x80;
                c = (c << 6) | (next & 0x3F);
            }
            ok = ok && c >= kMinimum[extra] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        }
        if (!ok) {
            *put++ = 0xFFFD;
            ++i;
            continue;
        }
        put = PutUtf16(put, c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    out.resize(static_cast<std::size_t>(put - out.data()));
    return out;
}

} // namespace sepmet
