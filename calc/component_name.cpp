#include "calc/component_name.h"

#include "resources/strings.h"

#include <cmath>

namespace sepmet {
namespace {

// Simple case fold of the Latin and Cyrillic letters a peak name can hold. Temporary: the
// Unicode fold map of the SQL functions takes its place once it is available.
char16_t FoldLetter(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) // Latin-1 capitals
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x0410 && c <= 0x042F) // А..Я
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x0400 && c <= 0x040F) // Ѐ..Џ, Ё among them
        return static_cast<char16_t>(c + 0x50);
    if (c == 0x04C0) // Ӏ
        return 0x04CF;
    const bool evenPairs = (c >= 0x0460 && c <= 0x0481) || (c >= 0x048A && c <= 0x04BF) ||
                           (c >= 0x04D0 && c <= 0x052F);
    if (evenPairs && c % 2 == 0)
        return static_cast<char16_t>(c + 1);
    if (c >= 0x04C1 && c <= 0x04CE && c % 2 == 1)
        return static_cast<char16_t>(c + 1);
    return c;
}

} // namespace

bool IsComponentName(std::u16string_view name) {
    const std::u16string_view component = LoadString(StringId::Methanol);
    if (name.size() != component.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (FoldLetter(name[i]) != FoldLetter(component[i]))
            return false;
    return true;
}

bool IsComponentPeak(const Peak& peak) {
    return !peak.name.empty() && std::isfinite(peak.area) && peak.area > 0 &&
           IsComponentName(peak.name);
}

} // namespace sepmet
