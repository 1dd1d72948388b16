#include "audit/audit_store.h"

#include "audit/event_identity.h"
#include "audit/sha256.h"
#include "platform/file_system.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>
#include <utility>

namespace sepmet::audit {
namespace {

// How long a writer waits for another one before the event is given up.
constexpr int kBusyTimeoutMs = 2000;

constexpr const char* kCreateTable =
    "CREATE TABLE IF NOT EXISTS event(seq INTEGER PRIMARY KEY AUTOINCREMENT, at TEXT, user TEXT, "
    "machine TEXT, version TEXT, kind TEXT, payload TEXT, prev TEXT, hash TEXT)";

constexpr const char* kColumns[] = {"seq",  "at",      "user", "machine", "version",
                                    "kind", "payload", "prev", "hash"};

class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
            throw AuditError(sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void BindText(int index, std::string_view text) {
        if (sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                              SQLITE_TRANSIENT) != SQLITE_OK)
            throw AuditError(sqlite3_errmsg(db_));
    }
    // True for a row, false when done.
    bool Step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw AuditError(sqlite3_errmsg(db_));
    }
    std::string Text(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return text ? std::string(text,
                                  static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                    : std::string();
    }
    std::int64_t Integer(int column) const { return sqlite3_column_int64(stmt_, column); }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// SQLite of the distribution reads names beginning with "file:" as URIs.
std::string OpenName(const std::string& path) {
    return path.starts_with("file:") ? "./" + path : path;
}

// "file:" URI of `path` with immutable=1; every byte but unreserved ones and '/' escaped.
std::string ImmutableUri(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string uri = "file:";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri + "?immutable=1";
}

// `name` is a file name, or with SQLITE_OPEN_URI in `flags` a "file:" URI.
sqlite3* OpenConnection(const std::string& name, int flags) {
    sqlite3* db = nullptr;
    const std::string open = (flags & SQLITE_OPEN_URI) ? name : OpenName(name);
    if (sqlite3_open_v2(open.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        const std::string text = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw AuditError(text);
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    return db;
}

// The table must be the one this program writes, column for column.
void CheckTable(sqlite3* db) {
    Statement info(db, "SELECT name FROM pragma_table_info('event') ORDER BY cid");
    std::size_t count = 0;
    while (info.Step()) {
        if (count >= std::size(kColumns) || info.Text(0) != kColumns[count])
            throw AuditError("the file holds a table \"event\" of another layout");
        ++count;
    }
    if (count == 0)
        throw AuditError("the file holds no audit table \"event\"");
    if (count != std::size(kColumns))
        throw AuditError("the file holds a table \"event\" of another layout");
}

} // namespace

std::string EventHash(const EventRecord& e) {
    return Sha256Hex(e.prev + "\n" + e.at + "\n" + e.user + "\n" + e.machine + "\n" + e.version +
                     "\n" + e.kind + "\n" + e.payload);
}

AuditStore::AuditStore(sqlite3* db, std::string path)
    : db_(db), path_(std::move(path)), user_(LoginName()), machine_(HostName()) {}

AuditStore::AuditStore(AuditStore&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), path_(std::move(other.path_)),
      user_(std::move(other.user_)), machine_(std::move(other.machine_)) {}

AuditStore& AuditStore::operator=(AuditStore&& other) noexcept {
    if (this != &other) {
        sqlite3_close(db_);
        db_ = std::exchange(other.db_, nullptr);
        path_ = std::move(other.path_);
        user_ = std::move(other.user_);
        machine_ = std::move(other.machine_);
    }
    return *this;
}

AuditStore::~AuditStore() {
    sqlite3_close(db_);
}

void AuditStore::Execute(const char* sql) const {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string text = error ? error : sqlite3_errmsg(db_);
        sqlite3_free(error);
        throw AuditError(text);
    }
}

AuditStore AuditStore::OpenForAppend(const std::string& path, Folders folders) {
    const std::string folder = FolderOf(path);
    if (folders == Folders::Create)
        if (std::string error; !CreatePrivateFolders(folder, error))
            throw AuditError(error);
    AuditStore store(
        OpenConnection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX),
        path);
    // A file that cannot be written opens read-only without complaint; say so now.
    if (sqlite3_db_readonly(store.db_, "main") == 1)
        throw AuditError(sqlite3_errstr(SQLITE_READONLY));
    store.Execute(OnNetworkFileSystem(folder) ? "PRAGMA journal_mode=DELETE"
                                              : "PRAGMA journal_mode=WAL");
    store.Execute(kCreateTable);
    CheckTable(store.db_);
    return store;
}

AuditStore AuditStore::OpenReadOnly(const std::string& path) {
    try {
        AuditStore store(OpenConnection(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX), path);
        CheckTable(store.db_);
        return store;
    } catch (const AuditError&) {
        // A WAL store in a folder the reader may not write (another user's trail, read-only
        // media) cannot get its shared-memory file. Closed cleanly, without a -wal file, the
        // main file holds every event and can be read as immutable.
        if (!IsRegularFile(path) || PathExists(path + "-wal"))
            throw;
    }
    AuditStore store(OpenConnection(ImmutableUri(path),
                                    SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI),
                     path);
    CheckTable(store.db_);
    return store;
}

std::string AuditStore::JournalMode() const {
    Statement mode(db_, "PRAGMA journal_mode");
    return mode.Step() ? mode.Text(0) : std::string();
}

AuditStore::PendingEvent AuditStore::Begin() {
    Execute("BEGIN IMMEDIATE");
    try {
        std::int64_t last = 0;
        std::string prev;
        {
            Statement tail(db_, "SELECT seq, hash FROM event ORDER BY seq DESC LIMIT 1");
            if (tail.Step()) {
                last = tail.Integer(0);
                prev = tail.Text(1);
            }
        }
        // AUTOINCREMENT never gives a number twice, even after the last events were deleted.
        const std::int64_t seq = std::max(last, HighestNumberGiven()) + 1;
        return PendingEvent(*this, seq, std::move(prev));
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

EventRecord AuditStore::Append(std::string_view kind, std::string_view payload) {
    PendingEvent pending = Begin();
    return pending.Commit(kind, payload);
}

std::vector<EventRecord> AuditStore::ReadAll() const {
    Statement rows(db_, "SELECT seq, at, user, machine, version, kind, payload, prev, hash "
                        "FROM event ORDER BY seq");
    std::vector<EventRecord> events;
    while (rows.Step())
        events.push_back({rows.Integer(0), rows.Text(1), rows.Text(2), rows.Text(3), rows.Text(4),
                          rows.Text(5), rows.Text(6), rows.Text(7), rows.Text(8)});
    return events;
}

std::int64_t AuditStore::HighestNumberGiven() const {
    Statement exists(db_, "SELECT 1 FROM sqlite_master WHERE name = 'sqlite_sequence'");
    if (!exists.Step())
        return 0;
    Statement highest(db_, "SELECT seq FROM sqlite_sequence WHERE name = 'event'");
    return highest.Step() ? highest.Integer(0) : 0;
}

AuditStore::PendingEvent::PendingEvent(AuditStore& store, std::int64_t seq, std::string prev)
    : store_(&store), seq_(seq), prev_(std::move(prev)) {}

AuditStore::PendingEvent::PendingEvent(PendingEvent&& other) noexcept
    : store_(std::exchange(other.store_, nullptr)), seq_(other.seq_),
      prev_(std::move(other.prev_)) {}

AuditStore::PendingEvent::~PendingEvent() {
    Rollback();
}

void AuditStore::PendingEvent::Rollback() {
    if (store_)
        sqlite3_exec(store_->db_, "ROLLBACK", nullptr, nullptr, nullptr);
    store_ = nullptr;
}

EventRecord AuditStore::PendingEvent::Commit(std::string_view kind, std::string_view payload) {
    if (!store_)
        throw AuditError("the event was already committed or abandoned");
    EventRecord event{seq_,
                      UtcTimestampNow(),
                      store_->user_,
                      store_->machine_,
                      kProgramVersion,
                      std::string(kind),
                      std::string(payload),
                      prev_,
                      {}};
    event.hash = EventHash(event);
    try {
        // Every column is bound as text; the number comes from AUTOINCREMENT.
        Statement insert(store_->db_,
                         "INSERT INTO event(at, user, machine, version, kind, payload, prev, hash) "
                         "VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
        const std::string* fields[] = {&event.at,   &event.user,    &event.machine, &event.version,
                                       &event.kind, &event.payload, &event.prev,    &event.hash};
        for (int i = 0; i < 8; ++i)
            insert.BindText(i + 1, *fields[i]);
        insert.Step();
        if (sqlite3_last_insert_rowid(store_->db_) != seq_)
            throw AuditError("the store gave the event another number than announced");
        store_->Execute("COMMIT");
    } catch (...) {
        Rollback();
        throw;
    }
    store_ = nullptr;
    return event;
}

} // namespace sepmet::audit
