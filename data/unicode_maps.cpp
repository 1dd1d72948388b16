#include "data/unicode_maps.h"

#include "data/unicode_tables.h"

namespace sepmet {
namespace {

// Filled in place in static storage: a 128 KiB temporary would not fit a small thread stack.
struct KeyTable {
    char16_t keys[0x10000];

    KeyTable() {
        for (unsigned c = 0; c < 0x10000; ++c) {
            char16_t unit = static_cast<char16_t>(c);
            if (unit >= 0x80) {
                const MapResult base = Lookup(kUnaccentTable, unit);
                if (!base.IsSelf())
                    unit = base.units[0];
            }
            keys[c] = FoldUnit(unit);
        }
    }
};

} // namespace

char16_t FoldUnit(char16_t unit) {
    return MapUnit(kFoldTable, unit);
}

const char16_t* ComparisonKeys() {
    static const KeyTable table;
    return table.keys;
}

} // namespace sepmet
