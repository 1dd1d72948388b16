#pragma once
// The Unicode 5.1.0 character maps on 16-bit code units, as used by the SQL functions and by
// the calculation's case-insensitive comparison of component names.

#include <cstdint>

namespace sepmet {

// Simple case fold of one UTF-16 unit («Ё» and «ё» give «ё», «ς» gives «σ»); surrogate units
// and units without a folding are returned unchanged.
char16_t FoldUnit(char16_t unit);

// The comparison key of every 16-bit unit, for "like" and "NOCASE": a unit of 0x80 or above
// is replaced by the first unit of its unaccent result, then folded, so that «Ё», «ё», «Е»
// and «е» share one key. Built on first use; 65536 entries.
const char16_t* ComparisonKeys();

// The key of a character read from a text. A character above 0xFFFF, which no map changes, is
// its own key: it equals only itself and sorts after every character of the 16-bit range.
// Only the end of a text (character 0) has key 0.
inline char32_t ComparisonKey(const char16_t* keys, char32_t character) {
    // Reading the table for every character lets the compiler select without a branch.
    const char32_t key = keys[character & 0xFFFF];
    return character < 0x10000 ? key : character;
}

} // namespace sepmet
