#pragma once
// The audit store: one SQLite file with one table of events, each chained to the one before by
// its SHA-256. Events are only ever inserted; nothing is updated or deleted. The file carries the
// program's application id and a table with the trail's identifier, which names the trail in the
// system's log.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace sepmet::audit {

// The store cannot be opened, read or written; what() is SQLite's own text (or, for a file that
// is not a trail, a short English reason).
class AuditError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// PRAGMA application_id of every trail ("SPMT"); trails written before it carry 0 and are
// stamped at their next opening for appending.
inline constexpr std::int32_t kTrailApplicationId = 0x53504D54;

struct EventRecord {
    std::int64_t seq = 0;
    std::string at;      // UTC, ISO 8601 with milliseconds
    std::string user;    // login name
    std::string machine; // host name
    std::string version; // program version
    std::string kind;    // "recalculation", "report", "report-file"
    std::string payload; // JSON object, UTF-8
    std::string prev;    // hash of the previous event, "" for the first
    std::string hash;
};

// An event as appended, with the number of the event it follows (0 for the first).
struct AppendedEvent {
    EventRecord event;
    std::int64_t prevSeq = 0;
};

// Lowercase hexadecimal SHA-256 of prev, at, user, machine, version, kind and payload joined by
// "\n".
std::string EventHash(const EventRecord& event);

// $XDG_DATA_HOME/sepmet/audit.sqlite ($HOME/.local/share when XDG_DATA_HOME is unset, empty or
// relative); empty when neither gives an absolute folder. On Windows
// %LOCALAPPDATA%\sepmet\audit.sqlite (FOLDERID_LocalAppData).
std::string DefaultStorePath();

class AuditStore {
public:
    enum class Folders {
        Existing, // the file's folder must exist
        Create,   // missing folders are created with mode 0700
    };

    // Opens the store for appending. Only an empty or missing file (created with mode 0600) or a
    // file that is already a trail is taken; anything else is refused before a byte of it
    // changes. The journal is WAL on a local file system and the rollback journal on NFS, SMB or
    // CIFS, where WAL's shared memory does not work across machines. Raises AuditError.
    static AuditStore OpenForAppend(const std::string& path, Folders folders = Folders::Existing);
    // Opens an existing trail read-only; never creates or changes anything. Raises AuditError.
    static AuditStore OpenReadOnly(const std::string& path);

    AuditStore(AuditStore&& other) noexcept;
    AuditStore& operator=(AuditStore&& other) noexcept;
    ~AuditStore();

    // Inserts one event in one short BEGIN IMMEDIATE transaction (waiting a short while for
    // another writer), chained to the last one. Raises AuditError; nothing is then recorded.
    AppendedEvent Append(std::string_view kind, std::string_view payload);

    // Calls `onEvent` for every event in the order of its number, one row at a time.
    // Raises AuditError.
    void ForEachEvent(const std::function<void(const EventRecord&)>& onEvent) const;
    // Every event in the order of its number. Raises AuditError.
    std::vector<EventRecord> ReadAll() const;
    // The highest number the store ever gave, deleted events included (0 for none).
    std::int64_t HighestNumberGiven() const;

    const std::string& Path() const { return path_; }
    // The trail's identifier (32 hexadecimal digits); empty for a trail written before
    // identifiers and opened read-only.
    const std::string& TrailId() const { return trailId_; }
    // "wal" or "delete": the journal mode in force.
    std::string JournalMode() const;

private:
    AuditStore(sqlite3* db, std::string path);
    void Execute(const char* sql) const;
    void ReadTrailId();

    sqlite3* db_ = nullptr;
    std::string path_;
    std::string user_;
    std::string machine_;
    std::string trailId_;
};

} // namespace sepmet::audit
