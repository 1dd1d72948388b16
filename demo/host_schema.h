#pragma once
// The host's two tables as this project's own databases create them (demo, test fixtures).
// The plug-in relies only on the column names it reads.

namespace sepmet {

inline constexpr const char* kHostSchemaSql =
    "CREATE TABLE assay(id INTEGER PRIMARY KEY, date INTEGER, filename TEXT,"
    " sample TEXT, mixture TEXT, method TEXT, iscalibration INTEGER);"
    "CREATE TABLE peak(id INTEGER PRIMARY KEY, assayid INTEGER NOT NULL REFERENCES assay(id),"
    " nameid INTEGER, name TEXT, area REAL, time REAL, concentration REAL,"
    " height REAL, channel INTEGER, front REAL, back REAL);"
    "CREATE INDEX peak_by_assay ON peak(assayid);";

} // namespace sepmet
