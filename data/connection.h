#pragma once
// The location of the host's analysis database and short-lived SQLite connections on it.
// The database is only read; every SQLite failure becomes DataBase::SqlException.

#include "data/statement.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

namespace DataBase {

class SqlException : public std::runtime_error {
public:
    SqlException(const std::string& message, const std::string& sql, std::int32_t code)
        : std::runtime_error(message), sql(sql), code(code) {}

    std::string sql; // the failing statement's SQL text; empty when none was compiled
    std::int32_t code;
};

// The one per-process holder of the database location that the host announced.
class DataBaseConnectionBase {
public:
    virtual ~DataBaseConnectionBase() = default;

    // Replaces the stored location by a copy of the NUL-terminated text.
    void SetUri(const char16_t* text);
    const std::optional<std::u16string>& Uri() const { return uri_; }

    // How long a connection waits for a lock held by the data system's writer before the
    // statement fails with SQLITE_BUSY. The writer holds its locks for a moment per stored
    // chromatogram; three seconds ride out those without leaving the operator waiting long on a
    // database that stays locked.
    static constexpr int kDefaultBusyTimeoutMs = 3000;
    void SetBusyTimeout(int milliseconds) { busyTimeoutMs_ = milliseconds; }
    int BusyTimeout() const { return busyTimeoutMs_; }

private:
    std::optional<std::u16string> uri_;
    int busyTimeoutMs_ = kDefaultBusyTimeoutMs;
};

// The single instance, created on first use (creation serialised by a process-wide mutex).
DataBaseConnectionBase& GetConnection();
// Deletes the instance, if any; the next GetConnection creates a fresh one. Used by Unload.
void DeleteConnection();
bool HasConnection();

// One connection for the length of one operation; closed on every exit path.
class DataBaseHandle {
public:
    DataBaseHandle() = default;
    DataBaseHandle(const DataBaseHandle&) = delete;
    DataBaseHandle& operator=(const DataBaseHandle&) = delete;
    ~DataBaseHandle();

    // Opens the stored location (an empty location opens a temporary database), sets the busy
    // timeout, switches foreign keys on and registers the Unicode SQL functions. A file that
    // does not exist is an error (SQLITE_CANTOPEN) and is never created. Raises SqlException.
    DataBaseHandle& Open();
    sqlite3* get() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

// One read transaction on the handle for as long as it lives: the chromatograms one command
// reads come from one state of the database, and the file is locked once for them all instead of
// once per statement. Nothing is written in it, so it ends with a rollback. Raises SqlException
// when the transaction cannot begin.
class ReadSnapshot {
public:
    explicit ReadSnapshot(DataBaseHandle& handle);
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;
    ~ReadSnapshot();

private:
    sqlite3* db_;
};

// The text given to SQLite to open for a stored location. URI file names stay disabled: a
// location that begins with "file:" names a file of that name in the working folder.
std::u16string OpenPathForLocation(const std::optional<std::u16string>& location);

// Compiles the first statement of `sql` (taken as it is; values are only ever bound).
// Raises SqlException with SQLite's error text.
Statement& Prepare(DataBaseHandle& handle, Statement& statement, const char16_t* sql);

// Steps the statement to its end, calling `onRow` for every row, then finalizes it. A step
// result other than SQLITE_ROW or SQLITE_DONE raises SqlException with the statement's SQL text;
// the statement is finalized on every path.
void ForEachRow(Statement& statement, const std::function<void(sqlite3_stmt*)>& onRow);

} // namespace DataBase
