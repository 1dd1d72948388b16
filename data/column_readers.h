#pragma once
// NULL-aware column readers: a NULL column gives the empty value, anything else SQLite's own
// conversion to the field's type.

#include <charconv>
#include <cstdint>
#include <optional>
#include <sqlite3.h>
#include <string>
#include <string_view>

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

// A text that is exactly a decimal number with a point ("243.6", "-1e-3"), else none: no part
// of "243,6" or "12abc" is taken, nor "inf", "nan" or hexadecimal forms.
inline std::optional<double> ExactNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.find_first_not_of("0123456789.eE+-") != std::string_view::npos)
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// A number column read whole or not at all: NULL is 0, an integer or real SQLite's value, a
// text only when it is exactly a number, a blob never.
inline std::optional<double> ReadExactDouble(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
        return 0.0;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt, column);
    case SQLITE_TEXT:
        return ExactNumber(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)));
    default:
        return std::nullopt;
    }
}

// The same for a 32-bit integer column: an integer or real must be a whole number within the
// range, a text exactly such a number.
inline std::optional<std::int32_t> ReadExactInt(sqlite3_stmt* stmt, int column) {
    std::int64_t value = 0;
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
        return 0;
    case SQLITE_INTEGER:
        value = sqlite3_column_int64(stmt, column);
        break;
    case SQLITE_FLOAT: {
        const double real = sqlite3_column_double(stmt, column);
        if (!(real >= INT32_MIN && real <= INT32_MAX) ||
            real != static_cast<double>(static_cast<std::int64_t>(real)))
            return std::nullopt;
        value = static_cast<std::int64_t>(real);
        break;
    }
    case SQLITE_TEXT: {
        std::string_view text(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)));
        if (!text.empty() && text.front() == '+')
            text.remove_prefix(1);
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc{} || end != text.data() + text.size())
            return std::nullopt;
        break;
    }
    default:
        return std::nullopt;
    }
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace sepmet
