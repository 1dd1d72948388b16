#pragma once
// What a front end shows when a database read fails: for a database another program holds
// locked, a sentence naming the file and what to do, then SQLite's own text; otherwise SQLite's
// text as it is.

#include "data/connection.h"

#include <string>
#include <string_view>

namespace sepmet {

// `location`: the database as the host named it.
std::u16string DatabaseErrorText(std::string_view sqliteText, int code,
                                 std::u16string_view location);
// The same for the database the host announced.
std::u16string DatabaseErrorText(const DataBase::SqlException& error);

} // namespace sepmet
