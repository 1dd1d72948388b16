// "like" with and without an escape: the first byte picks the form (and the escape's length),
// the rest is pattern, a NUL byte, text. The matcher's own result is also checked against the
// direct rules when the pattern has few "%" for them to stay fast.

#include "data/unicode_like.h"
#include "fuzz/unicode/fuzz_connection.h"

#include <cstdint>
#include <cstring>
#include <string>

using namespace sepmet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static sqlite3* db = fuzz::FuzzConnection();
    static sqlite3_stmt* two = fuzz::PrepareOrAbort(db, "SELECT like(?1, ?2)");
    static sqlite3_stmt* three = fuzz::PrepareOrAbort(db, "SELECT like(?1, ?2, ?3)");
    if (size < 1)
        return 0;
    const unsigned mode = data[0];
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string pattern = rest, text;
    if (const auto nul = rest.find('\0'); nul != std::string::npos) {
        pattern = rest.substr(0, nul);
        text = rest.substr(nul + 1);
    }
    sqlite3_stmt* statement = mode & 1 ? three : two;
    sqlite3_bind_text(statement, 1, pattern.data(), static_cast<int>(pattern.size()),
                      SQLITE_TRANSIENT);
    sqlite3_bind_text(statement, 2, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    if (mode & 1) {
        // The escape: the first 0 to 3 bytes of the text part.
        const std::size_t escapeLength = std::min<std::size_t>((mode >> 1) & 3, text.size());
        sqlite3_bind_text(statement, 3, text.data(), static_cast<int>(escapeLength),
                          SQLITE_TRANSIENT);
    }
    fuzz::StepOnce(statement);
    return 0;
}
