#pragma once
// The Unicode 5.1.0 character maps on 16-bit code units, as used by the SQL functions and by
// the calculation's case-insensitive comparison of component names.

namespace sepmet {

// Simple case fold of one UTF-16 unit («Ё» and «ё» give «ё», «ς» gives «σ»); surrogate units
// and units without a folding are returned unchanged.
char16_t FoldUnit(char16_t unit);

} // namespace sepmet
