#include "audit/audit_store.h"

#include "audit/event_identity.h"
#include "audit/sha256.h"
#include "data/statement.h"
#include "platform/file_system.h"
#include "platform/file_system_kind.h"
#include "platform/private_folders.h"
#include "platform/random_bytes.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sqlite3.h>
#include <utility>

namespace sepmet::audit {
namespace {

using DataBase::Statement;

// How long a writer waits for another one before the event is given up.
constexpr int kBusyTimeoutMs = 2000;

constexpr const char* kCreateEventTable =
    "CREATE TABLE IF NOT EXISTS event(seq INTEGER PRIMARY KEY AUTOINCREMENT, at TEXT, user TEXT, "
    "machine TEXT, version TEXT, kind TEXT, payload TEXT, prev TEXT, hash TEXT)";
// The trail's identifier: one row, written when the trail gets its application id.
constexpr const char* kCreateTrailTable = "CREATE TABLE IF NOT EXISTS trail(id TEXT NOT NULL)";

constexpr const char* kColumns[] = {"seq",  "at",      "user", "machine", "version",
                                    "kind", "payload", "prev", "hash"};

// The tables a trail may hold (SQLite keeps AUTOINCREMENT's counter in sqlite_sequence).
const std::set<std::string> kTrailTables = {"event", "trail", "sqlite_sequence"};

Statement Compile(sqlite3* db, const char* sql) {
    Statement statement(db, sql);
    if (!statement.get())
        throw AuditError(sqlite3_errmsg(db));
    return statement;
}

// True for a row, false when done.
bool Step(sqlite3* db, Statement& statement) {
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw AuditError(sqlite3_errmsg(db));
}

std::string Text(const Statement& statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), column));
    return text ? std::string(
                      text, static_cast<std::size_t>(sqlite3_column_bytes(statement.get(), column)))
                : std::string();
}

void BindText(sqlite3* db, Statement& statement, int index, std::string_view text) {
    if (sqlite3_bind_text(statement.get(), index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK)
        throw AuditError(sqlite3_errmsg(db));
}

// SQLite of the distribution reads names beginning with "file:" as URIs.
std::string OpenName(const std::string& path) {
    return path.starts_with("file:") ? "./" + path : path;
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

std::int64_t IntegerOf(sqlite3* db, const char* sql) {
    Statement statement = Compile(db, sql);
    return Step(db, statement) ? sqlite3_column_int64(statement.get(), 0) : 0;
}

// The file must be a trail of this program: its application id, or (a trail written before the
// id) no id, only the trail's tables, and the event table column for column. Only reads.
void RecogniseTrail(sqlite3* db) {
    const std::int64_t applicationId = IntegerOf(db, "PRAGMA application_id");
    if (applicationId != 0 && applicationId != kTrailApplicationId)
        throw AuditError("the file is a database of another program (application id " +
                         std::to_string(applicationId) + ")");
    Statement tables = Compile(db, "SELECT name FROM sqlite_master WHERE type = 'table'");
    bool hasEvents = false;
    while (Step(db, tables)) {
        const std::string name = Text(tables, 0);
        if (!kTrailTables.count(name))
            throw AuditError("the file holds the table \"" + name + "\": it is not an audit trail");
        hasEvents = hasEvents || name == "event";
    }
    if (!hasEvents)
        throw AuditError("the file holds no audit table \"event\"");
    Statement info = Compile(db, "SELECT name FROM pragma_table_info('event') ORDER BY cid");
    std::size_t count = 0;
    while (Step(db, info)) {
        if (count >= std::size(kColumns) || Text(info, 0) != kColumns[count])
            throw AuditError("the file holds a table \"event\" of another layout");
        ++count;
    }
    if (count != std::size(kColumns))
        throw AuditError("the file holds a table \"event\" of another layout");
}

// 128 random bits as 32 lowercase hexadecimal digits.
std::string NewTrailId() {
    unsigned char bytes[16] = {};
    if (const std::string reason = FillRandomBytes(bytes, sizeof bytes); !reason.empty())
        throw AuditError("no random identifier for the trail: " + reason);
    static const char hex[] = "0123456789abcdef";
    std::string id;
    for (unsigned char b : bytes) {
        id += hex[b >> 4];
        id += hex[b & 15];
    }
    return id;
}

// Whether `path` names nothing yet or an empty regular file. Refuses what is not a regular file
// (a FIFO would hang the opening).
bool IsNewFile(const std::string& path) {
    const FileState state = StateOfFile(path);
    if (state.kind == FileState::Missing)
        return true;
    if (state.kind == FileState::Unreadable)
        throw AuditError(state.reason);
    if (state.kind != FileState::Regular)
        throw AuditError("not a regular file");
    return state.size == 0;
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
      user_(std::move(other.user_)), machine_(std::move(other.machine_)),
      trailId_(std::move(other.trailId_)) {}

AuditStore& AuditStore::operator=(AuditStore&& other) noexcept {
    if (this != &other) {
        sqlite3_close(db_);
        db_ = std::exchange(other.db_, nullptr);
        path_ = std::move(other.path_);
        user_ = std::move(other.user_);
        machine_ = std::move(other.machine_);
        trailId_ = std::move(other.trailId_);
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

void AuditStore::ReadTrailId() {
    trailId_.clear();
    Statement exists =
        Compile(db_, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'trail'");
    if (!Step(db_, exists))
        return;
    Statement id = Compile(db_, "SELECT id FROM trail LIMIT 1");
    if (Step(db_, id))
        trailId_ = Text(id, 0);
}

AuditStore AuditStore::OpenForAppend(const std::string& path, Folders folders) {
    const std::string folder = FolderOf(path);
    if (folders == Folders::Create)
        if (std::string error = CreatePrivateFolders(folder); !error.empty())
            throw AuditError(error);
    const bool fresh = IsNewFile(path);
    if (fresh)
        if (std::string error = CreatePrivateFile(path); !error.empty())
            throw AuditError(error);
    AuditStore store(OpenConnection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX), path);
    // Nothing is written before the file is known to be a trail.
    if (!fresh)
        RecogniseTrail(store.db_);
    // A file that cannot be written opens read-only without complaint; say so now.
    if (sqlite3_db_readonly(store.db_, "main") == 1)
        throw AuditError(sqlite3_errstr(SQLITE_READONLY));
    store.Execute(IsOnNetworkFileSystem(folder) ? "PRAGMA journal_mode=DELETE"
                                                : "PRAGMA journal_mode=WAL");
    store.ReadTrailId();
    if (store.trailId_.empty() ||
        IntegerOf(store.db_, "PRAGMA application_id") != kTrailApplicationId) {
        // A new trail, or one written before the stamp: tables, id and stamp in one transaction,
        // so that two programs opening the same new file agree on one identifier.
        store.Execute("BEGIN IMMEDIATE");
        try {
            // Another program may have made the new file a trail meanwhile; anything else in it
            // is refused.
            if (fresh && IntegerOf(store.db_, "SELECT count(*) FROM sqlite_master") > 0)
                RecogniseTrail(store.db_);
            store.Execute(kCreateEventTable);
            store.Execute(kCreateTrailTable);
            store.ReadTrailId();
            if (store.trailId_.empty()) {
                const std::string id = NewTrailId();
                Statement insert = Compile(store.db_, "INSERT INTO trail(id) VALUES(?)");
                BindText(store.db_, insert, 1, id);
                Step(store.db_, insert);
                store.trailId_ = id;
            }
            store.Execute(("PRAGMA application_id=" + std::to_string(kTrailApplicationId)).c_str());
            store.Execute("COMMIT");
        } catch (...) {
            sqlite3_exec(store.db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }
    RecogniseTrail(store.db_);
    return store;
}

AuditStore AuditStore::OpenReadOnly(const std::string& path) {
    if (StateOfFile(path).kind == FileState::Other)
        throw AuditError("not a regular file");
    try {
        AuditStore store(OpenConnection(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX), path);
        RecogniseTrail(store.db_);
        store.ReadTrailId();
        return store;
    } catch (const AuditError&) {
        // A WAL store in a folder the reader may not write (another user's trail, read-only
        // media) cannot get its shared-memory file. Closed cleanly, without a -wal file, the
        // main file holds every event and can be read as immutable.
        const FileState::Kind wal = StateOfFile(path + "-wal").kind;
        if (StateOfFile(path).kind != FileState::Regular || wal == FileState::Regular ||
            wal == FileState::Other)
            throw;
    }
    AuditStore store(OpenConnection(ImmutableReadOnlyUri(path),
                                    SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI),
                     path);
    RecogniseTrail(store.db_);
    store.ReadTrailId();
    return store;
}

std::string AuditStore::JournalMode() const {
    Statement mode = Compile(db_, "PRAGMA journal_mode");
    return Step(db_, mode) ? Text(mode, 0) : std::string();
}

AppendedEvent AuditStore::Append(std::string_view kind, std::string_view payload) {
    Execute("BEGIN IMMEDIATE");
    try {
        AppendedEvent appended;
        {
            Statement tail = Compile(db_, "SELECT seq, hash FROM event ORDER BY seq DESC LIMIT 1");
            if (Step(db_, tail)) {
                appended.prevSeq = sqlite3_column_int64(tail.get(), 0);
                appended.event.prev = Text(tail, 1);
            }
        }
        EventRecord& event = appended.event;
        // AUTOINCREMENT never gives a number twice, even after the last events were deleted.
        event.seq = std::max(appended.prevSeq, HighestNumberGiven()) + 1;
        event.at = UtcTimestampNow();
        event.user = user_;
        event.machine = machine_;
        event.version = kProgramVersion;
        event.kind = kind;
        event.payload = payload;
        event.hash = EventHash(event);
        // Every column is bound as text; the number comes from AUTOINCREMENT.
        Statement insert =
            Compile(db_, "INSERT INTO event(at, user, machine, version, kind, payload, prev, hash) "
                         "VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
        const std::string* fields[] = {&event.at,   &event.user,    &event.machine, &event.version,
                                       &event.kind, &event.payload, &event.prev,    &event.hash};
        for (int i = 0; i < 8; ++i)
            BindText(db_, insert, i + 1, *fields[i]);
        Step(db_, insert);
        if (sqlite3_last_insert_rowid(db_) != event.seq)
            throw AuditError("the store gave the event another number than announced");
        Execute("COMMIT");
        return appended;
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void AuditStore::ForEachEvent(const std::function<void(const EventRecord&)>& onEvent) const {
    Statement rows = Compile(db_, "SELECT seq, at, user, machine, version, kind, payload, prev, "
                                  "hash FROM event ORDER BY seq");
    EventRecord event;
    while (Step(db_, rows)) {
        event.seq = sqlite3_column_int64(rows.get(), 0);
        event.at = Text(rows, 1);
        event.user = Text(rows, 2);
        event.machine = Text(rows, 3);
        event.version = Text(rows, 4);
        event.kind = Text(rows, 5);
        event.payload = Text(rows, 6);
        event.prev = Text(rows, 7);
        event.hash = Text(rows, 8);
        onEvent(event);
    }
}

std::vector<EventRecord> AuditStore::ReadAll() const {
    std::vector<EventRecord> events;
    ForEachEvent([&](const EventRecord& event) { events.push_back(event); });
    return events;
}

std::int64_t AuditStore::HighestNumberGiven() const {
    Statement exists = Compile(db_, "SELECT 1 FROM sqlite_master WHERE name = 'sqlite_sequence'");
    if (!Step(db_, exists))
        return 0;
    Statement highest = Compile(db_, "SELECT seq FROM sqlite_sequence WHERE name = 'event'");
    return Step(db_, highest) ? sqlite3_column_int64(highest.get(), 0) : 0;
}

} // namespace sepmet::audit
