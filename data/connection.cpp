#include "data/connection.h"

#include "data/unicode_functions.h"
#include "platform/utf.h"

#include <mutex>

namespace DataBase {
namespace {

std::mutex connectionMutex;
DataBaseConnectionBase* connection = nullptr;

std::string ErrorMessage(sqlite3* db) {
    const char* text = sqlite3_errmsg(db);
    return text ? text : "";
}

} // namespace

void DataBaseConnectionBase::SetUri(const char16_t* text) {
    if (text)
        uri_ = std::u16string(text);
    else
        uri_.reset();
}

DataBaseConnectionBase& GetConnection() {
    std::lock_guard lock(connectionMutex);
    if (!connection)
        connection = new DataBaseConnectionBase;
    return *connection;
}

void DeleteConnection() {
    std::lock_guard lock(connectionMutex);
    delete connection;
    connection = nullptr;
}

bool HasConnection() {
    std::lock_guard lock(connectionMutex);
    return connection != nullptr;
}

DataBaseHandle::~DataBaseHandle() {
    if (db_)
        sqlite3_close(db_);
}

ReadSnapshot::ReadSnapshot(DataBaseHandle& handle) : db_(handle.get()) {
    const int rc = sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw SqlException(ErrorMessage(db_), "BEGIN", rc);
}

ReadSnapshot::~ReadSnapshot() {
    if (!sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

std::u16string OpenPathForLocation(const std::optional<std::u16string>& location) {
    if (!location)
        return {};
    if (location->starts_with(u"file:"))
        return u"./" + *location;
    return *location;
}

DataBaseHandle& DataBaseHandle::Open() {
    const DataBaseConnectionBase& connection = GetConnection();
    const std::string path = sepmet::ToUtf8(OpenPathForLocation(connection.Uri()));
    // Without SQLITE_OPEN_CREATE: a mistyped or vanished location must not leave an empty
    // database behind that later reads take for one without chromatograms.
    int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK)
        throw SqlException(ErrorMessage(db_), "", rc);
    rc = sqlite3_busy_timeout(db_, connection.BusyTimeout());
    if (rc != SQLITE_OK)
        throw SqlException(ErrorMessage(db_), "", rc);
    rc = sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_FKEY, 1, static_cast<int*>(nullptr));
    if (rc != SQLITE_OK)
        throw SqlException(ErrorMessage(db_), "", rc);
    rc = sepmet::RegisterUnicodeFunctions(db_);
    if (rc != SQLITE_OK)
        throw SqlException(ErrorMessage(db_), "", rc);
    return *this;
}

Statement& Prepare(DataBaseHandle& handle, Statement& statement, const char16_t* sql) {
    statement.Finalize();
    int rc = sqlite3_prepare16_v2(handle.get(), sql, -1, statement.out(), nullptr);
    if (rc != SQLITE_OK) {
        const char* compiled = sqlite3_sql(statement.get());
        std::string text = compiled ? compiled : "";
        statement.Finalize();
        throw SqlException(ErrorMessage(handle.get()), text, rc);
    }
    return statement;
}

void ForEachRow(Statement& statement, const std::function<void(sqlite3_stmt*)>& onRow) {
    int rc;
    try {
        while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW)
            onRow(statement.get());
    } catch (...) {
        statement.Finalize();
        throw;
    }
    if (rc == SQLITE_DONE) {
        statement.Finalize();
        return;
    }
    const char* sql = sqlite3_sql(statement.get());
    std::string text = sql ? sql : "";
    statement.Finalize();
    throw SqlException(sqlite3_errstr(rc), text, rc);
}

} // namespace DataBase
