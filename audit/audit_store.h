#pragma once
// The audit store: one SQLite file with one table of events, each chained to the one before by
// its SHA-256. Events are only ever inserted; nothing is updated or deleted.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace sepmet::audit {

// The store cannot be opened, read or written; what() is SQLite's own text (or, for a file that
// is a database of another kind, a short English reason).
class AuditError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct EventRecord {
    std::int64_t seq = 0;
    std::string at;      // UTC, ISO 8601 with milliseconds
    std::string user;    // login name
    std::string machine; // host name
    std::string version; // program version
    std::string kind;    // "recalculation", "report"
    std::string payload; // JSON object, UTF-8
    std::string prev;    // hash of the previous event, "" for the first
    std::string hash;
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

    // Opens the store for appending, creating the file and its table when missing. The journal is
    // WAL on a local file system and the rollback journal on NFS, SMB or CIFS, where WAL's shared
    // memory does not work across machines. Raises AuditError.
    static AuditStore OpenForAppend(const std::string& path, Folders folders = Folders::Existing);
    // Opens an existing store read-only; never creates anything. Raises AuditError.
    static AuditStore OpenReadOnly(const std::string& path);

    AuditStore(AuditStore&& other) noexcept;
    AuditStore& operator=(AuditStore&& other) noexcept;
    ~AuditStore();

    // One open BEGIN IMMEDIATE transaction: the write lock is held from Begin until Commit or
    // until the object ends, which rolls back. Between them the caller may do work that needs the
    // event's number, as the report does.
    class PendingEvent {
    public:
        PendingEvent(PendingEvent&& other) noexcept;
        PendingEvent& operator=(PendingEvent&&) = delete;
        ~PendingEvent();

        // The number the event will get.
        std::int64_t Seq() const { return seq_; }

        // Inserts the event and commits. Raises AuditError; the transaction is then rolled back.
        EventRecord Commit(std::string_view kind, std::string_view payload);

    private:
        friend class AuditStore;
        PendingEvent(AuditStore& store, std::int64_t seq, std::string prev);
        void Rollback();

        AuditStore* store_;
        std::int64_t seq_;
        std::string prev_;
    };

    // Takes the write lock (waiting a short while for another writer) and reads the last event.
    // Raises AuditError.
    PendingEvent Begin();
    // Begin and Commit in one.
    EventRecord Append(std::string_view kind, std::string_view payload);

    // Every event in the order of its number. Raises AuditError.
    std::vector<EventRecord> ReadAll() const;
    // The highest number the store ever gave, deleted events included (0 for none).
    std::int64_t HighestNumberGiven() const;

    const std::string& Path() const { return path_; }
    // "wal" or "delete": the journal mode in force.
    std::string JournalMode() const;

private:
    AuditStore(sqlite3* db, std::string path);
    void Execute(const char* sql) const;

    sqlite3* db_ = nullptr;
    std::string path_;
    std::string user_;
    std::string machine_;
};

} // namespace sepmet::audit
