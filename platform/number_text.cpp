#include "platform/number_text.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cstdlib>
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

// The C locale for strtod_l, created once; never installed into the process or the thread.
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

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
    double value = strtod_l(begin, &end, CLocale());
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
