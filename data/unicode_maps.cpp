#include "data/unicode_maps.h"

namespace sepmet {

// Interim fold of the ASCII, Latin-1 and basic Cyrillic letters until the generated tables land.
char16_t FoldUnit(char16_t unit) {
    if ((unit >= u'A' && unit <= u'Z') || (unit >= 0xC0 && unit <= 0xDE && unit != 0xD7) ||
        (unit >= 0x410 && unit <= 0x42F))
        return static_cast<char16_t>(unit + 0x20);
    if (unit >= 0x400 && unit <= 0x40F)
        return static_cast<char16_t>(unit + 0x50);
    return unit;
}

} // namespace sepmet
