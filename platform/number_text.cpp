#include "platform/number_text.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <system_error>

namespace sepmet {
namespace {

std::u16string WidenWithDecimalComma(const char* begin, const char* end) {
    std::u16string out;
    out.reserve(static_cast<std::size_t>(end - begin));
    for (const char* p = begin; p != end; ++p)
        out.push_back(*p == '.' ? u',' : static_cast<char16_t>(static_cast<unsigned char>(*p)));
    return out;
}

template <typename Convert> std::u16string Format(Convert convert) {
    // Large enough for "%.Nf" of DBL_MAX with the precisions the plug-in uses.
    char buffer[400];
    auto result = convert(buffer, buffer + sizeof buffer);
    if (result.ec != std::errc{})
        return u"?";
    return WidenWithDecimalComma(buffer, result.ptr);
}

// strtod in the C locale, created once and never installed into the process or the thread.
#if defined(_WIN32)
// The Windows C runtime's strtod reads neither inf, nan nor hexadecimal numbers; std::from_chars
// reads all of them, in no locale at all. White space, the sign and "0x" are taken here, as
// strtod takes them.
double StrtodC(const char* text, char** end) {
    static const _locale_t c = _create_locale(LC_ALL, "C");
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    std::chars_format format = std::chars_format::general;
    const char* digits = p;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
        (std::isxdigit(static_cast<unsigned char>(p[2])) ||
         (p[2] == '.' && std::isxdigit(static_cast<unsigned char>(p[3]))))) {
        format = std::chars_format::hex;
        digits = p + 2;
    }
    double value = 0;
    const std::from_chars_result result =
        std::from_chars(digits, digits + std::strlen(digits), value, format);
    if (result.ec == std::errc::invalid_argument) {
        *end = const_cast<char*>(text);
        return 0;
    }
    if (result.ec == std::errc::result_out_of_range && format == std::chars_format::general) {
        // Overflow gives infinity and underflow zero, as strtod gives them.
        value = _strtod_l(digits, nullptr, c);
    }
    *end = const_cast<char*>(result.ptr);
    return negative ? -value : value;
}
#else
double StrtodC(const char* text, char** end) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(text, end, c);
}
#endif

} // namespace

std::u16string FormatFixed(double value, int decimals) {
    return Format([&](char* b, char* e) {
        return std::to_chars(b, e, value, std::chars_format::fixed, decimals);
    });
}

std::u16string FormatGeneral(double value, int significant) {
    return Format([&](char* b, char* e) {
        return std::to_chars(b, e, value, std::chars_format::general, significant);
    });
}

std::u16string FormatInteger(long long value) {
    return Format([&](char* b, char* e) { return std::to_chars(b, e, value); });
}

std::u16string FormatValueWithUncertainty(double value, double uncertainty) {
    return FormatFixed(value, 6) + u" ± " + FormatFixed(uncertainty, 6);
}

std::optional<double> ParseDecimalCommaPrefix(std::u16string_view text, std::size_t* consumed) {
    // Translate to the C locale's spelling: the comma becomes the point and a point becomes a
    // character that ends the number. Anything outside ASCII ends it too.
    std::string ascii;
    ascii.reserve(text.size());
    for (char16_t c : text) {
        if (c == u',')
            ascii.push_back('.');
        else if (c == u'.' || c >= 0x80 || c == 0)
            ascii.push_back('\x01');
        else
            ascii.push_back(static_cast<char>(c));
    }
    const char* begin = ascii.c_str();
    char* end = nullptr;
    errno = 0;
    double value = StrtodC(begin, &end);
    if (end == begin) {
        if (consumed)
            *consumed = 0;
        return std::nullopt;
    }
    // strtod skips the same white space as scanf does.
    if (consumed)
        *consumed = static_cast<std::size_t>(end - begin);
    return value;
}

std::u16string FillPlaceholder(std::u16string_view format, std::u16string_view placeholder,
                               std::u16string_view value) {
    std::u16string out(format);
    auto at = out.find(placeholder);
    if (at != std::u16string::npos)
        out.replace(at, placeholder.size(), value);
    return out;
}

} // namespace sepmet
