#pragma once
// Two-level storage of the Unicode 5.1.0 character maps (generated into unicode_tables.cpp).
// A unit's high bits select a block (unit >> blockShift); identical blocks are shared. Each
// distinct block has an offsets row of block size + 1 bytes and its result units: the result
// for position p is units[offsets[p]] up to, not including, units[offsets[p + 1]]. A result of
// the single unit 0xFFFF means "the unit itself".

#include <cstddef>
#include <cstdint>

namespace sepmet {

struct UnicodeTable {
    unsigned blockShift;            // 5 (blocks of 32 units) or 6 (blocks of 64 units)
    const std::uint8_t* blocks;     // distinct block of each block of units
    const std::uint8_t* offsets;    // one row of (1 << blockShift) + 1 entries per block
    const std::uint16_t* unitStart; // first unit of each distinct block in units
    const char16_t* units;
};

extern const UnicodeTable kFoldTable;     // simple case folding
extern const UnicodeTable kLowerTable;    // simple lowercase mapping
extern const UnicodeTable kUpperTable;    // simple uppercase mapping
extern const UnicodeTable kTitleTable;    // simple titlecase mapping
extern const UnicodeTable kUnaccentTable; // the characters a character is built from, no marks

inline constexpr char16_t kSelfMarker = 0xFFFF;

struct MapResult {
    const char16_t* units;
    std::size_t size;
    bool IsSelf() const { return size == 1 && units[0] == kSelfMarker; }
};

inline MapResult Lookup(const UnicodeTable& table, char16_t unit) {
    const unsigned block = table.blocks[unit >> table.blockShift];
    const unsigned position = unit & ((1u << table.blockShift) - 1);
    const std::uint8_t* row = table.offsets + block * ((1u << table.blockShift) + 1);
    return {table.units + table.unitStart[block] + row[position],
            static_cast<std::size_t>(row[position + 1] - row[position])};
}

// The result of a one-unit map (fold, lower, upper, title).
inline char16_t MapUnit(const UnicodeTable& table, char16_t unit) {
    const MapResult result = Lookup(table, unit);
    return result.IsSelf() ? unit : result.units[0];
}

} // namespace sepmet
