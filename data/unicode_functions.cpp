#include "data/unicode_functions.h"

namespace sepmet {

// Placeholder until the Unicode function set lands.
int RegisterUnicodeFunctions(sqlite3*) { return SQLITE_OK; }

}  // namespace sepmet
