#pragma once
// One compiled SQLite statement, finalised exactly once: when it ends, when Finalize is called,
// or by the object it was moved into. Every SQLite user of the project (the analysis database,
// the audit trail, the host's profile) holds its statements in it.

#include <sqlite3.h>

namespace DataBase {

class Statement {
public:
    Statement() = default;
    // Compiles the first statement of `sql` on `db`; get() is nullptr when it does not compile
    // (sqlite3_errmsg(db) then says why).
    Statement(sqlite3* db, const char* sql);
    Statement(Statement&& other) noexcept : stmt_(other.stmt_) { other.stmt_ = nullptr; }
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { Finalize(); }

    sqlite3_stmt* get() const { return stmt_; }
    // For sqlite3_prepare: the statement held so far is finalised first.
    sqlite3_stmt** out() {
        Finalize();
        return &stmt_;
    }
    void Finalize();

private:
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace DataBase
