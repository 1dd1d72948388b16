#pragma once
// The SQL functions that return text: fold, lower, upper and title (the map is the function's
// user data) and unaccent, one form for each database encoding. Both forms map the text up to
// its first NUL character and keep every other character they do not map, a leading U+FEFF or
// U+FFFE and the characters above U+FFFF included.

#include <sqlite3.h>

namespace sepmet {

// UTF-8 databases: the text is read and returned as UTF-8, so that SQLite's conversion to
// UTF-16, which reads U+FFFE and U+FFFF as U+FFFD, never sees it.
void CaseFunctionUtf8(sqlite3_context* context, int argc, sqlite3_value** argv);
void UnaccentUtf8(sqlite3_context* context, int argc, sqlite3_value** argv);

// UTF-16 databases: the text is read and returned as native UTF-16.
void CaseFunctionUtf16(sqlite3_context* context, int argc, sqlite3_value** argv);
void UnaccentUtf16(sqlite3_context* context, int argc, sqlite3_value** argv);

} // namespace sepmet
