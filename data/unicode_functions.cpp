#include "data/unicode_functions.h"

#include "data/unicode_collation.h"
#include "data/unicode_like.h"
#include "data/unicode_tables.h"
#include "data/unicode_utf8.h"

#include <cstring>

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

char16_t LoadUnit(const void* text, std::size_t index) {
    char16_t unit;
    std::memcpy(&unit, static_cast<const unsigned char*>(text) + 2 * index, sizeof unit);
    return unit;
}

// The argument as UTF-16 units: false for NULL (and when SQLite has no text for it).
bool ReadText16(sqlite3_value* value, const void*& text, std::size_t& units) {
    if (sqlite3_value_type(value) == SQLITE_NULL)
        return false;
    text = sqlite3_value_text16(value);
    if (!text)
        return false;
    // An odd trailing byte is not a unit; dropping it keeps the result's NUL unit in place.
    units = static_cast<std::size_t>(sqlite3_value_bytes16(value)) / 2;
    return true;
}

// fold, lower, upper and title: one unit for one unit, up to the first NUL unit.
void CaseFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    const void* text;
    std::size_t units;
    if (!ReadText16(argv[0], text, units))
        return;
    auto* result = static_cast<char16_t*>(sqlite3_malloc64(2 * units + 2));
    if (!result) {
        sqlite3_result_error_nomem(context);
        return;
    }
    std::memcpy(result, text, 2 * units);
    result[units] = 0;
    const auto& table = *static_cast<const UnicodeTable*>(sqlite3_user_data(context));
    for (char16_t* unit = result; *unit != 0; ++unit)
        *unit = MapUnit(table, *unit);
    sqlite3_result_text16(context, result, -1, sqlite3_free);
}

// unaccent: a result of k units enlarges the buffer by k − 1 units. The input is read from
// the argument, not from the buffer, which the longer results would overwrite.
void Unaccent(sqlite3_context* context, int, sqlite3_value** argv) {
    const void* text;
    std::size_t units;
    if (!ReadText16(argv[0], text, units))
        return;
    std::size_t capacity = units + 1;
    auto* result = static_cast<char16_t*>(sqlite3_malloc64(2 * capacity));
    if (!result) {
        sqlite3_result_error_nomem(context);
        return;
    }
    std::size_t written = 0;
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t unit = LoadUnit(text, i);
        if (unit == 0)
            break;
        const MapResult mapped = Lookup(kUnaccentTable, unit);
        if (mapped.IsSelf()) {
            result[written++] = unit;
            continue;
        }
        if (mapped.size > 1) {
            capacity += mapped.size - 1;
            auto* larger = static_cast<char16_t*>(sqlite3_realloc64(result, 2 * capacity));
            if (!larger) {
                sqlite3_free(result); // a failed reallocation leaves the old buffer allocated
                sqlite3_result_error_nomem(context);
                return;
            }
            result = larger;
        }
        std::memcpy(result + written, mapped.units, 2 * mapped.size);
        written += mapped.size;
    }
    result[written] = 0;
    sqlite3_result_text16(context, result, -1, sqlite3_free);
}

using ScalarFunction = void (*)(sqlite3_context*, int, sqlite3_value**);

struct Registration {
    const char* name;
    int arguments;
    const void* userData;
    ScalarFunction function;
};

} // namespace

int RegisterUnicodeFunctions(sqlite3* db) {
    const Registration registrations[] = {
        {"unicode_version", 0, nullptr, UnicodeVersion},
        {"like", 2, &kLikePattern, Like},
        {"like", 3, &kLikePattern, Like},
        {"fold", 1, &kFoldTable, CaseFunction},
        {"lower", 1, &kLowerTable, CaseFunction},
        {"upper", 1, &kUpperTable, CaseFunction},
        {"title", 1, &kTitleTable, CaseFunction},
        {"unaccent", 1, nullptr, Unaccent},
    };
    // A failed registration ends the list; its result is not reported.
    for (const Registration& entry : registrations)
        if (sqlite3_create_function(db, entry.name, entry.arguments, SQLITE_ANY,
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
