#pragma once
// NULL-aware column readers: a NULL column gives the empty value, anything else SQLite's own
// conversion to the field's type.

#include <cstdint>
#include <sqlite3.h>
#include <string>

namespace sepmet {

inline bool IsNull(sqlite3_stmt* stmt, int column) {
    return sqlite3_column_type(stmt, column) == SQLITE_NULL;
}

inline std::int32_t ReadInt(sqlite3_stmt* stmt, int column) {
    return IsNull(stmt, column) ? 0 : sqlite3_column_int(stmt, column);
}

inline std::int64_t ReadInt64(sqlite3_stmt* stmt, int column) {
    return IsNull(stmt, column) ? 0 : sqlite3_column_int64(stmt, column);
}

inline double ReadDouble(sqlite3_stmt* stmt, int column) {
    return IsNull(stmt, column) ? 0.0 : sqlite3_column_double(stmt, column);
}

// Copied up to the first NUL unit.
inline std::u16string ReadText(sqlite3_stmt* stmt, int column) {
    if (IsNull(stmt, column))
        return {};
    const void* text = sqlite3_column_text16(stmt, column);
    return text ? std::u16string(static_cast<const char16_t*>(text)) : std::u16string{};
}

} // namespace sepmet
