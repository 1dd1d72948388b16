#include "data/unicode_functions.h"

#include "data/unicode_case_functions.h"
#include "data/unicode_collation.h"
#include "data/unicode_like.h"
#include "data/unicode_tables.h"
#include "data/unicode_utf8.h"

// Built as the loadable extension sepmet_unicode.so, the same functions reach SQLite through
// the routine table that the loading connection hands over.
#ifdef SEPMET_SQLITE_EXTENSION
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1
#endif

namespace sepmet {
namespace {

constexpr int kLikePatternLimit = 50000; // bytes
constexpr char kUnicodeVersion[] = "5.1.0.12";

void UnicodeVersion(sqlite3_context* context, int, sqlite3_value**) {
    sqlite3_result_text(context, kUnicodeVersion, -1, SQLITE_STATIC);
}

// like(pattern, text) and like(pattern, text, escape); "text LIKE pattern ESCAPE e" calls it
// with the pattern first.
void Like(sqlite3_context* context, int argc, sqlite3_value** argv) {
    const unsigned char* pattern = sqlite3_value_text(argv[0]);
    const unsigned char* text = sqlite3_value_text(argv[1]);
    if (sqlite3_value_bytes(argv[0]) > kLikePatternLimit) {
        sqlite3_result_error(context, "LIKE or GLOB pattern too complex", -1);
        return;
    }
    char32_t escape = 0;
    if (argc == 3) {
        const unsigned char* escapeText = sqlite3_value_text(argv[2]);
        if (!escapeText)
            return;
        escape = ReadUtf8(escapeText);
        if (escape == 0 || *escapeText != 0) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
    }
    if (!pattern || !text)
        return;
    const auto* wildcards = static_cast<const LikePattern*>(sqlite3_user_data(context));
    sqlite3_result_int(context, LikeMatch(pattern, text, escape, *wildcards) ? 1 : 0);
}

using ScalarFunction = void (*)(sqlite3_context*, int, sqlite3_value**);

struct Registration {
    const char* name;
    int arguments;
    int encoding;
    const void* userData;
    ScalarFunction function;
};

} // namespace

int RegisterUnicodeFunctions(sqlite3* db) {
    // The text functions come in a UTF-8 and a UTF-16 form; SQLite calls the form of the
    // database encoding (a UTF-16be database the native UTF-16 one).
    const Registration registrations[] = {
        {"unicode_version", 0, SQLITE_ANY, nullptr, UnicodeVersion},
        {"like", 2, SQLITE_ANY, &kLikePattern, Like},
        {"like", 3, SQLITE_ANY, &kLikePattern, Like},
        {"fold", 1, SQLITE_UTF8, &kFoldTable, CaseFunctionUtf8},
        {"fold", 1, SQLITE_UTF16, &kFoldTable, CaseFunctionUtf16},
        {"lower", 1, SQLITE_UTF8, &kLowerTable, CaseFunctionUtf8},
        {"lower", 1, SQLITE_UTF16, &kLowerTable, CaseFunctionUtf16},
        {"upper", 1, SQLITE_UTF8, &kUpperTable, CaseFunctionUtf8},
        {"upper", 1, SQLITE_UTF16, &kUpperTable, CaseFunctionUtf16},
        {"title", 1, SQLITE_UTF8, &kTitleTable, CaseFunctionUtf8},
        {"title", 1, SQLITE_UTF16, &kTitleTable, CaseFunctionUtf16},
        {"unaccent", 1, SQLITE_UTF8, nullptr, UnaccentUtf8},
        {"unaccent", 1, SQLITE_UTF16, nullptr, UnaccentUtf16},
    };
    // A failed registration ends the list; its result is not reported.
    for (const Registration& entry : registrations)
        if (sqlite3_create_function(db, entry.name, entry.arguments, entry.encoding,
                                    const_cast<void*>(entry.userData), entry.function, nullptr,
                                    nullptr) != SQLITE_OK)
            break;
    sqlite3_create_collation(db, "NOCASE", SQLITE_UTF8, reinterpret_cast<void*>(kNoCaseUtf8),
                             NoCaseCompare);
    return sqlite3_create_collation(db, "NOCASE", SQLITE_UTF16,
                                    reinterpret_cast<void*>(kNoCaseUtf16), NoCaseCompare);
}

} // namespace sepmet

#ifdef SEPMET_SQLITE_EXTENSION
// Entry point that SQLite derives from the file name sepmet_unicode.so.
extern "C" __attribute__((visibility("default"))) int
sqlite3_sepmetunicode_init(sqlite3* db, char**, const sqlite3_api_routines* api) {
    SQLITE_EXTENSION_INIT2(api);
    return sepmet::RegisterUnicodeFunctions(db);
}
#endif
