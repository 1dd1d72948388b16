// fold, lower, upper, title and unaccent on arbitrary bytes, given both as UTF-8 and as raw
// UTF-16 (odd lengths and lone surrogates included), on UTF-8 and UTF-16 databases.

#include "fuzz/unicode/fuzz_connection.h"

#include <cstdint>

using namespace sepmet;

namespace {

struct Statements {
    sqlite3_stmt* utf8;
    sqlite3_stmt* utf16;
};

Statements Prepare(sqlite3* db) {
    const char* sql =
        "SELECT fold(?1), lower(?1), upper(?1), title(?1), unaccent(?1), unaccent(upper(?1))";
    return {fuzz::PrepareOrAbort(db, sql), fuzz::PrepareOrAbort(db, sql)};
}

void Run(const Statements& statements, const std::uint8_t* data, std::size_t size) {
    sqlite3_bind_text(statements.utf8, 1, reinterpret_cast<const char*>(data),
                      static_cast<int>(size), SQLITE_TRANSIENT);
    fuzz::StepOnce(statements.utf8);
    sqlite3_bind_text16(statements.utf16, 1, data, static_cast<int>(size), SQLITE_TRANSIENT);
    fuzz::StepOnce(statements.utf16);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Statements utf8Database = Prepare(fuzz::FuzzConnection("UTF-8"));
    static const Statements utf16Database = Prepare(fuzz::FuzzConnection("UTF-16le"));
    Run(utf8Database, data, size);
    Run(utf16Database, data, size);
    return 0;
}
