#include "session/database_error_text.h"

#include "platform/utf.h"

#include <sqlite3.h>

namespace sepmet {

std::u16string DatabaseErrorText(std::string_view sqliteText, int code,
                                 std::u16string_view location) {
    std::u16string sqlite =
        sqliteText.empty() ? u"unknown database error" : FromUtf8(std::string(sqliteText));
    const int primary = code & 0xff; // extended codes carry the primary one in the low byte
    if (primary != SQLITE_BUSY && primary != SQLITE_LOCKED)
        return sqlite;
    // The data system's writer holds the lock while it stores chromatograms: the operator
    // waits for it, or ends the program that keeps the database open for writing.
    return u"База данных «" + std::u16string(location) +
           u"» занята другой программой, которая в неё записывает. Дождитесь окончания записи "
           u"(или закройте эту программу) и повторите действие.\n\n" +
           sqlite;
}

std::u16string DatabaseErrorText(const DataBase::SqlException& error) {
    std::u16string location;
    if (DataBase::HasConnection())
        location = DataBase::GetConnection().Uri().value_or(u"");
    return DatabaseErrorText(error.what(), error.code, location);
}

} // namespace sepmet
