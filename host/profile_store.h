#pragma once
// The host's profile: integers, doubles and texts under verbatim UTF-16 keys, one set of values
// per analysis database, in a SQLite file. Every write is one transaction.

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

    // False when the value could not be written (a read-only store, a full disk).
    bool SetInt(std::u16string_view key, std::int32_t value);
    bool SetDouble(std::u16string_view key, double value);
    bool SetText(std::u16string_view key, std::u16string_view value);
    // True when the key held a value.
    bool Delete(std::u16string_view key);

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

    sqlite3* db_;
    std::filesystem::path file_;
    bool readOnly_;
    std::u16string database_;
};

} // namespace sepmet::host
