#pragma once
// Two-level storage of a character map and the C++ source that holds it.

#include "tools/unicode_tables/character_maps.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sepmet::unicode_tables {

// A unit without an entry is stored as this single unit, meaning "the unit itself".
inline constexpr char16_t kSelfMarker = 0xFFFF;

struct TwoLevelTable {
    std::string name;
    unsigned blockShift = 0;
    std::vector<std::uint8_t> blockIndex;           // one per block of units
    std::vector<std::vector<std::uint8_t>> offsets; // per distinct block: block size + 1
    std::vector<std::vector<char16_t>> units;       // per distinct block
};

struct TableFigures {
    std::size_t unitsChanged = 0;
    std::size_t longerThanOne = 0;
    std::size_t distinctBlocks = 0;
    std::size_t longestResult = 0;
    char32_t longestUnit = 0;
};

// Splits the map into blocks, shares identical blocks and checks that every block index and
// every offset fits a byte; throws std::runtime_error otherwise.
TwoLevelTable BuildTwoLevelTable(const CharacterMap& map);
TableFigures Figures(const CharacterMap& map, const TwoLevelTable& table);

// The complete text of data/unicode_tables.cpp for the five tables.
std::string TablesSource(const std::vector<TwoLevelTable>& tables);

// Builds the maps from dataDir and returns the generated source; figures receives one line per
// map ("fold: 995 units changed, ...").
std::string GenerateTablesSource(const std::string& dataDir, std::vector<std::string>* figures);

} // namespace sepmet::unicode_tables
