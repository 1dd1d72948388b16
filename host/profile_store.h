#pragma once
// The host's profile: integers, doubles and texts under verbatim UTF-16 keys, one set of values
// per analysis database, in a SQLite file. The values written between two EndSave calls are
// one save and one transaction: all of them are kept, or none.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <string>

namespace sepmet::host {

class ProfileStore {
public:
    // Opens (creating it and its folders when missing) the store at `file`. A file that can
    // only be read is opened for reading: values are answered, writes fail. Nullptr with the
    // reason in `error` when it cannot be opened at all.
    static std::unique_ptr<ProfileStore> Open(const std::filesystem::path& file,
                                              std::string& error);
    ~ProfileStore();
    ProfileStore(const ProfileStore&) = delete;
    ProfileStore& operator=(const ProfileStore&) = delete;

    // The analysis database whose values are read and written from now on.
    void SelectDatabase(std::u16string database) { database_ = std::move(database); }
    const std::u16string& database() const { return database_; }

    // A value of the asked kind under `key`; none when absent or stored with another kind.
    std::optional<std::int32_t> GetInt(std::u16string_view key);
    std::optional<double> GetDouble(std::u16string_view key);
    std::optional<std::u16string> GetText(std::u16string_view key);

    // The first write of a save opens its transaction (waiting for another writer's lock at
    // most once) and calls the save-started callback. False when the value could not be
    // written (a read-only store, a locked or full store); once a write of a save has failed,
    // the save's earlier values are undone and its later writes fail without touching the file.
    bool SetInt(std::u16string_view key, std::int32_t value);
    bool SetDouble(std::u16string_view key, double value);
    bool SetText(std::u16string_view key, std::u16string_view value);
    // True when the key held a value.
    bool Delete(std::u16string_view key);

    // Called at the first write of each save, e.g. to end the save when control returns to the
    // event loop.
    void OnSaveStarted(std::function<void()> started) { saveStarted_ = std::move(started); }
    // Commits the current save. Empty when it was kept (or nothing was written); otherwise the
    // reason it was not, the store holding the values of the save before.
    std::optional<std::string> EndSave();

    bool readOnly() const { return readOnly_; }
    // "wal" or "delete" (the journal of a network file system, or of a read-only store).
    std::string JournalMode();
    const std::filesystem::path& file() const { return file_; }

private:
    ProfileStore(sqlite3* db, std::filesystem::path file, bool readOnly)
        : db_(db), file_(std::move(file)), readOnly_(readOnly) {}

    enum class Kind { Integer = 1, Double = 2, Text = 3 };
    sqlite3_stmt* Select(std::u16string_view key, Kind kind);
    bool Write(std::u16string_view key, Kind kind, const std::function<void(sqlite3_stmt*)>& bind);
    // Runs `change` inside the current save, opening it when needed; false when the save has
    // failed (then or before).
    bool InSave(const std::function<bool()>& change);
    void FailSave();

    sqlite3* db_;
    std::filesystem::path file_;
    bool readOnly_;
    std::u16string database_;
    std::function<void()> saveStarted_;
    bool saveOpen_ = false;
    std::optional<std::string> saveFailure_; // why the current save was lost
};

} // namespace sepmet::host
