#pragma once
// A real SQLite connection for the Unicode function tests and the outcome of one expression.

#include "data/unicode_functions.h"
#include "data/unicode_utf8.h"

#include <cstdio>
#include <ostream>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace sepmet::test {

struct Outcome {
    enum Kind { Text, Null, Error } kind = Null;
    std::string value; // the text, the integer as text, or the error message

    bool operator==(const Outcome&) const = default;
};

inline Outcome TextOutcome(std::string value) {
    return {Outcome::Text, std::move(value)};
}
inline Outcome NullOutcome() {
    return {Outcome::Null, {}};
}
inline Outcome ErrorOutcome(std::string message) {
    return {Outcome::Error, std::move(message)};
}

inline std::ostream& operator<<(std::ostream& out, const Outcome& outcome) {
    static const char* const kinds[] = {"text", "NULL", "error"};
    return out << kinds[outcome.kind] << " \"" << outcome.value << "\"";
}

// The database encodings, as PRAGMA encoding names them.
inline const char* const kEncodings[] = {"UTF-8", "UTF-16le", "UTF-16be"};

inline std::string Utf8(const std::u16string& text) {
    std::string utf8;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if ((c & 0xFC00) == 0xD800 && i + 1 < text.size() && (text[i + 1] & 0xFC00) == 0xDC00)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        unsigned char bytes[4];
        utf8.append(reinterpret_cast<char*>(bytes), WriteUtf8(bytes, c) - bytes);
    }
    return utf8;
}

// UTF-8 as SQLite converts it to UTF-16, for valid texts.
inline std::u16string Utf16(const std::string& text) {
    std::u16string utf16;
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = at + text.size();
    while (at < end) {
        const char32_t c = ReadUtf8(at, end);
        if (c < 0x10000) {
            utf16 += static_cast<char16_t>(c);
        } else {
            utf16 += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            utf16 += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        }
    }
    return utf16;
}

// The text's bytes in the database encoding, as hex() shows them.
inline std::string EncodedHex(const std::string& encoding, const std::u16string& text) {
    std::string hex;
    char digits[5];
    if (encoding == "UTF-8") {
        for (const unsigned char byte : Utf8(text)) {
            std::snprintf(digits, sizeof digits, "%02X", byte);
            hex += digits;
        }
        return hex;
    }
    const bool little = encoding == "UTF-16le";
    for (const char16_t unit : text) {
        std::snprintf(digits, sizeof digits, "%02X%02X", little ? unit & 0xFF : unit >> 8,
                      little ? unit >> 8 : unit & 0xFF);
        hex += digits;
    }
    return hex;
}

// An SQL expression for the text as it is stored in the database encoding, without SQLite's
// reading of byte-order marks or of U+FFFE.
inline std::string StoredText(const std::string& encoding, const std::u16string& text) {
    return "CAST(x'" + EncodedHex(encoding, text) + "' AS TEXT)";
}

class Connection {
public:
    // encoding: one of kEncodings; withFunctions false gives SQLite's own definitions.
    explicit Connection(const char* encoding = "UTF-8", bool withFunctions = true) {
        sqlite3_open(":memory:", &db_);
        Exec(std::string("PRAGMA encoding = '") + encoding + "'");
        if (withFunctions)
            registration_ = RegisterUnicodeFunctions(db_);
    }
    ~Connection() { sqlite3_close(db_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* get() const { return db_; }
    int registration() const { return registration_; }

    void Exec(const std::string& sql) const {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::string message = error ? error : "";
            sqlite3_free(error);
            throw std::runtime_error(sql + ": " + message);
        }
    }

    // The first column of the first row of a SELECT; parameters are bound as UTF-8 texts.
    Outcome Eval(const std::string& sql, const std::vector<std::string>& parameters = {}) const {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
        for (std::size_t i = 0; i < parameters.size(); ++i)
            sqlite3_bind_text(statement, static_cast<int>(i + 1), parameters[i].data(),
                              static_cast<int>(parameters[i].size()), SQLITE_TRANSIENT);
        Outcome outcome;
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW) {
            if (sqlite3_column_type(statement, 0) != SQLITE_NULL) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
                outcome = TextOutcome(std::string(
                    text, static_cast<std::size_t>(sqlite3_column_bytes(statement, 0))));
            }
        } else {
            outcome = ErrorOutcome(sqlite3_errmsg(db_));
        }
        sqlite3_finalize(statement);
        return outcome;
    }

private:
    sqlite3* db_ = nullptr;
    int registration_ = -1;
};

} // namespace sepmet::test
