#pragma once
// One connection with the Unicode functions for all runs of a fuzz target.

#include "data/unicode_functions.h"

#include <cstdlib>
#include <sqlite3.h>
#include <string>

namespace sepmet::fuzz {

inline sqlite3* FuzzConnection(const char* encoding = "UTF-8") {
    sqlite3* db = nullptr;
    if (sqlite3_open(":memory:", &db) != SQLITE_OK)
        std::abort();
    const std::string pragma = std::string("PRAGMA encoding = '") + encoding + "'";
    sqlite3_exec(db, pragma.c_str(), nullptr, nullptr, nullptr);
    if (RegisterUnicodeFunctions(db) != SQLITE_OK)
        std::abort();
    return db;
}

inline sqlite3_stmt* PrepareOrAbort(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        std::abort();
    return statement;
}

// Steps a statement once; a failure other than a reported SQL error is a finding.
inline void StepOnce(sqlite3_stmt* statement) {
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_ROW && rc != SQLITE_ERROR)
        std::abort();
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
}

} // namespace sepmet::fuzz
