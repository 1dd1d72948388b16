#include "data/statement.h"

namespace DataBase {

Statement::Statement(sqlite3* db, const char* sql) {
    sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        Finalize();
        stmt_ = other.stmt_;
        other.stmt_ = nullptr;
    }
    return *this;
}

void Statement::Finalize() {
    if (stmt_)
        sqlite3_finalize(stmt_);
    stmt_ = nullptr;
}

} // namespace DataBase
