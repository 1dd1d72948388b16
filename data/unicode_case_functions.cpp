#include "data/unicode_case_functions.h"

#include "data/unicode_tables.h"
#include "data/unicode_utf8.h"

#include <cstring>

// In the loadable extension every SQLite call goes through the routine table that
// unicode_functions.cpp receives.
#ifdef SEPMET_SQLITE_EXTENSION
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT3
#endif

namespace sepmet {
namespace {

// The argument as UTF-8 bytes [text, end): false for NULL (and when SQLite has no text for it).
bool ReadText8(sqlite3_value* value, const unsigned char*& text, const unsigned char*& end) {
    if (sqlite3_value_type(value) == SQLITE_NULL)
        return false;
    text = sqlite3_value_text(value);
    if (!text)
        return false;
    end = text + sqlite3_value_bytes(value);
    return true;
}

// The character's map result; a character above U+FFFF, which no map changes, stays itself.
char32_t MapCharacter(const UnicodeTable& table, char32_t character) {
    return character < 0x10000 ? MapUnit(table, static_cast<char16_t>(character)) : character;
}

// The UTF-8 size of the unaccent result of the character.
std::size_t UnaccentSize(char32_t character) {
    if (character >= 0x10000)
        return Utf8Size(character);
    const MapResult mapped = Lookup(kUnaccentTable, static_cast<char16_t>(character));
    if (mapped.IsSelf())
        return Utf8Size(character);
    std::size_t size = 0;
    for (std::size_t i = 0; i < mapped.size; ++i)
        size += Utf8Size(mapped.units[i]);
    return size;
}

void ResultText8(sqlite3_context* context, unsigned char* result, const unsigned char* end) {
    sqlite3_result_text64(context, reinterpret_cast<char*>(result),
                          static_cast<sqlite3_uint64>(end - result), sqlite3_free, SQLITE_UTF8);
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

char16_t LoadUnit(const void* text, std::size_t index) {
    char16_t unit;
    std::memcpy(&unit, static_cast<const unsigned char*>(text) + 2 * index, sizeof unit);
    return unit;
}

// SQLite reads a leading U+FEFF or U+FFFE of a UTF-16 result as a byte-order mark: it drops
// it, and for U+FFFE swaps the bytes of the rest. It drops exactly one, so a result that
// starts with either unit gets one native U+FEFF in front, which SQLite drops instead.
constexpr char16_t kByteOrderMark = 0xFEFF;

std::size_t MarkUnits(char16_t firstUnit) {
    return firstUnit == kByteOrderMark || firstUnit == 0xFFFE ? 1 : 0;
}

char16_t FirstUnaccentUnit(char16_t unit) {
    const MapResult mapped = Lookup(kUnaccentTable, unit);
    return mapped.IsSelf() ? unit : mapped.units[0];
}

} // namespace

void CaseFunctionUtf8(sqlite3_context* context, int, sqlite3_value** argv) {
    const unsigned char* text;
    const unsigned char* end;
    if (!ReadText8(argv[0], text, end))
        return;
    // A character of k bytes gives at most 3 × k bytes: a lone lead byte becomes U+FFFD.
    auto* result = static_cast<unsigned char*>(
        sqlite3_malloc64(3 * static_cast<sqlite3_uint64>(end - text) + 1));
    if (!result) {
        sqlite3_result_error_nomem(context);
        return;
    }
    const auto& table = *static_cast<const UnicodeTable*>(sqlite3_user_data(context));
    unsigned char* out = result;
    while (text < end && *text != 0) {
        const char32_t character = *text < 0x80 ? *text++ : ReadUtf8(text, end);
        out = WriteUtf8(out, MapCharacter(table, character));
    }
    *out = 0;
    ResultText8(context, result, out);
}

// Two passes: the first sizes the result, so that one allocation holds it.
void UnaccentUtf8(sqlite3_context* context, int, sqlite3_value** argv) {
    const unsigned char* text;
    const unsigned char* end;
    if (!ReadText8(argv[0], text, end))
        return;
    std::size_t size = 0;
    for (const unsigned char* at = text; at < end && *at != 0;)
        size += UnaccentSize(ReadUtf8(at, end));
    auto* result = static_cast<unsigned char*>(sqlite3_malloc64(size + 1));
    if (!result) {
        sqlite3_result_error_nomem(context);
        return;
    }
    unsigned char* out = result;
    while (text < end && *text != 0) {
        const char32_t character = ReadUtf8(text, end);
        if (character >= 0x10000) {
            out = WriteUtf8(out, character);
            continue;
        }
        const MapResult mapped = Lookup(kUnaccentTable, static_cast<char16_t>(character));
        if (mapped.IsSelf()) {
            out = WriteUtf8(out, character);
            continue;
        }
        for (std::size_t i = 0; i < mapped.size; ++i)
            out = WriteUtf8(out, mapped.units[i]);
    }
    *out = 0;
    ResultText8(context, result, out);
}

// One unit for one unit, up to the first NUL unit.
void CaseFunctionUtf16(sqlite3_context* context, int, sqlite3_value** argv) {
    const void* text;
    std::size_t units;
    if (!ReadText16(argv[0], text, units))
        return;
    const auto& table = *static_cast<const UnicodeTable*>(sqlite3_user_data(context));
    const std::size_t mark = units > 0 ? MarkUnits(MapUnit(table, LoadUnit(text, 0))) : 0;
    auto* result = static_cast<char16_t*>(sqlite3_malloc64(2 * (mark + units) + 2));
    if (!result) {
        sqlite3_result_error_nomem(context);
        return;
    }
    result[0] = kByteOrderMark; // overwritten by the text when no mark is needed
    std::memcpy(result + mark, text, 2 * units);
    result[mark + units] = 0;
    for (char16_t* unit = result + mark; *unit != 0; ++unit)
        *unit = MapUnit(table, *unit);
    sqlite3_result_text16(context, result, -1, sqlite3_free);
}

// A result of k units enlarges the buffer by k − 1 units. The input is read from the argument,
// not from the buffer, which the longer results would overwrite.
void UnaccentUtf16(sqlite3_context* context, int, sqlite3_value** argv) {
    const void* text;
    std::size_t units;
    if (!ReadText16(argv[0], text, units))
        return;
    const std::size_t mark = units > 0 ? MarkUnits(FirstUnaccentUnit(LoadUnit(text, 0))) : 0;
    std::size_t capacity = mark + units + 1;
    auto* result = static_cast<char16_t*>(sqlite3_malloc64(2 * capacity));
    if (!result) {
        sqlite3_result_error_nomem(context);
        return;
    }
    result[0] = kByteOrderMark;
    std::size_t written = mark;
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

} // namespace sepmet
