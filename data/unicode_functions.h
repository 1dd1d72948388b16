#pragma once
// Unicode-aware LIKE, case and accent functions and the NOCASE collation, registered on every
// connection that DataBaseHandle::Open makes.

#include <sqlite3.h>

namespace sepmet {

// Registers the functions and both NOCASE collations; the result of the UTF-16 collation
// registration is returned.
int RegisterUnicodeFunctions(sqlite3* db);

} // namespace sepmet
