#include "host/profile_store.h"

#include "data/statement.h"
#include "platform/file_system_kind.h"

#include <cctype>
#include <cstdio>
#include <system_error>
#include <utility>

namespace sepmet::host {
namespace {

// Kind is kept beside the value so that an integer is never read back as a double or a text.
constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS profile_value("
    " database TEXT NOT NULL, key TEXT NOT NULL, kind INTEGER NOT NULL, value,"
    " PRIMARY KEY(database, key)) WITHOUT ROWID";

using DataBase::Statement;

void BindText(sqlite3_stmt* stmt, int index, std::u16string_view text) {
    // An empty view may carry no pointer; SQLite would take that for NULL.
    sqlite3_bind_text16(stmt, index, text.empty() ? u"" : text.data(),
                        static_cast<int>(text.size() * 2), SQLITE_TRANSIENT);
}

} // namespace

std::unique_ptr<ProfileStore> ProfileStore::Open(const std::filesystem::path& file,
                                                 std::string& error) {
    std::error_code folderError;
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path(), folderError);
    sqlite3* db = nullptr;
    int status =
        sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (status != SQLITE_OK) {
        error = db ? sqlite3_errmsg(db) : sqlite3_errstr(status);
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 2000);
    const bool readOnly = sqlite3_db_readonly(db, "main") == 1;
    if (readOnly) {
        // A WAL store cannot be read without creating its shared-memory file, which a user who
        // may only read cannot do; nobody can write it through this host either, so it is read
        // as an unchanging file.
        sqlite3_close(db);
        db = nullptr;
        const std::string uri = ImmutableReadOnlyUri(file);
        status = sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
        if (status != SQLITE_OK) {
            error = db ? sqlite3_errmsg(db) : sqlite3_errstr(status);
            sqlite3_close(db);
            return nullptr;
        }
    }
    if (!readOnly) {
        // WAL keeps readers and the writer apart, but needs shared memory that a network file
        // system cannot provide; there the rollback journal is used.
        const char* journal =
            IsOnNetworkFileSystem(file) ? "PRAGMA journal_mode=DELETE" : "PRAGMA journal_mode=WAL";
        sqlite3_exec(db, journal, nullptr, nullptr, nullptr);
        status = sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr);
    } else {
        Statement probe(db, "SELECT 1 FROM profile_value LIMIT 1");
        status = probe.get() ? SQLITE_OK : sqlite3_errcode(db);
    }
    if (status != SQLITE_OK) {
        error = sqlite3_errmsg(db);
        sqlite3_close(db);
        return nullptr;
    }
    return std::unique_ptr<ProfileStore>(new ProfileStore(db, file, readOnly));
}

ProfileStore::~ProfileStore() {
    EndSave(); // a save nobody ended is kept when it can be
    sqlite3_close(db_);
}

std::string ProfileStore::JournalMode() {
    Statement mode(db_, "PRAGMA journal_mode");
    if (!mode.get() || sqlite3_step(mode.get()) != SQLITE_ROW)
        return {};
    return reinterpret_cast<const char*>(sqlite3_column_text(mode.get(), 0));
}

namespace {
template <typename T, typename Read>
std::optional<T> ReadOne(sqlite3* db, std::u16string_view database, std::u16string_view key,
                         int kind, Read read) {
    Statement select(db, "SELECT value FROM profile_value WHERE database = ?1 AND key = ?2"
                         " AND kind = ?3");
    if (!select.get())
        return std::nullopt;
    BindText(select.get(), 1, database);
    BindText(select.get(), 2, key);
    sqlite3_bind_int(select.get(), 3, kind);
    if (sqlite3_step(select.get()) != SQLITE_ROW)
        return std::nullopt;
    return read(select.get());
}
} // namespace

std::optional<std::int32_t> ProfileStore::GetInt(std::u16string_view key) {
    return ReadOne<std::int32_t>(db_, database_, key, static_cast<int>(Kind::Integer),
                                 [](sqlite3_stmt* s) { return sqlite3_column_int(s, 0); });
}

std::optional<double> ProfileStore::GetDouble(std::u16string_view key) {
    return ReadOne<double>(db_, database_, key, static_cast<int>(Kind::Double),
                           [](sqlite3_stmt* s) { return sqlite3_column_double(s, 0); });
}

std::optional<std::u16string> ProfileStore::GetText(std::u16string_view key) {
    return ReadOne<std::u16string>(
        db_, database_, key, static_cast<int>(Kind::Text), [](sqlite3_stmt* s) {
            const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(s, 0));
            const int bytes = sqlite3_column_bytes16(s, 0);
            return text ? std::u16string(text, bytes / 2) : std::u16string();
        });
}

bool ProfileStore::InSave(const std::function<bool()>& change) {
    if (readOnly_)
        return false;
    if (saveFailure_)
        return false; // the save is lost already: nothing more is tried (nor waited for)
    if (!saveOpen_) {
        if (saveStarted_)
            saveStarted_();
        if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
            FailSave();
            return false;
        }
        saveOpen_ = true;
    }
    if (change())
        return true;
    FailSave();
    return false;
}

void ProfileStore::FailSave() {
    saveFailure_ = sqlite3_errmsg(db_);
    if (saveOpen_ && !sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    saveOpen_ = false;
}

std::optional<std::string> ProfileStore::EndSave() {
    if (saveOpen_ && sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        FailSave();
    saveOpen_ = false;
    return std::exchange(saveFailure_, std::nullopt);
}

bool ProfileStore::Write(std::u16string_view key, Kind kind,
                         const std::function<void(sqlite3_stmt*)>& bind) {
    return InSave([&] {
        Statement insert(db_, "INSERT OR REPLACE INTO profile_value(database, key, kind, value)"
                              " VALUES(?1, ?2, ?3, ?4)");
        if (!insert.get())
            return false;
        BindText(insert.get(), 1, database_);
        BindText(insert.get(), 2, key);
        sqlite3_bind_int(insert.get(), 3, static_cast<int>(kind));
        bind(insert.get());
        return sqlite3_step(insert.get()) == SQLITE_DONE;
    });
}

bool ProfileStore::SetInt(std::u16string_view key, std::int32_t value) {
    return Write(key, Kind::Integer, [value](sqlite3_stmt* s) { sqlite3_bind_int(s, 4, value); });
}

bool ProfileStore::SetDouble(std::u16string_view key, double value) {
    return Write(key, Kind::Double, [value](sqlite3_stmt* s) { sqlite3_bind_double(s, 4, value); });
}

bool ProfileStore::SetText(std::u16string_view key, std::u16string_view value) {
    return Write(key, Kind::Text, [value](sqlite3_stmt* s) { BindText(s, 4, value); });
}

bool ProfileStore::Delete(std::u16string_view key) {
    bool deleted = false;
    const bool done = InSave([&] {
        Statement remove(db_, "DELETE FROM profile_value WHERE database = ?1 AND key = ?2");
        if (!remove.get())
            return false;
        BindText(remove.get(), 1, database_);
        BindText(remove.get(), 2, key);
        if (sqlite3_step(remove.get()) != SQLITE_DONE)
            return false;
        deleted = sqlite3_changes(db_) > 0;
        return true;
    });
    return done && deleted;
}

} // namespace sepmet::host
