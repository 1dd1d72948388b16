#pragma once
// The five character maps of the SQL functions, derived from the Unicode Character Database
// restricted to the characters assigned in Unicode 5.1 or earlier.

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace sepmet::unicode_tables {

// One map on the 65536 UTF-16 units: a unit without an entry is left as it is.
struct CharacterMap {
    std::string name;    // "fold", "lower", "upper", "title", "unaccent"
    unsigned blockShift; // 5: blocks of 32 units, 6: blocks of 64 units
    std::vector<std::optional<std::u16string>> entries; // 65536 entries
};

// Reads DerivedAge.txt, UnicodeData.txt and CaseFolding.txt from dataDir (a folder such as
// /usr/share/unicode) and builds fold, lower, upper, title and unaccent, in that order.
// Throws std::runtime_error when a file is missing or malformed.
std::vector<CharacterMap> BuildCharacterMaps(const std::string& dataDir);

} // namespace sepmet::unicode_tables
