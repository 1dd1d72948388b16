# The Windows build's libraries. SQLite and pugixml are compiled from Debian's source packages,
# prepared by scripts/windows-sources.sh into SEPMET_WINDOWS_SOURCES; googletest from Debian's
# googletest package. XML and XSLT are the system's MSXML 6.0, SHA-256 the system's bcrypt.
set(SEPMET_WINDOWS_SOURCES "${PROJECT_SOURCE_DIR}/build/windows-sources"
    CACHE PATH "Prepared SQLite and pugixml sources (scripts/windows-sources.sh)")
if(NOT EXISTS "${SEPMET_WINDOWS_SOURCES}/sqlite3/sqlite3.c")
    message(FATAL_ERROR "No SQLite sources in ${SEPMET_WINDOWS_SOURCES}: run "
                        "scripts/windows-sources.sh ${SEPMET_WINDOWS_SOURCES}")
endif()

# Compiled with the options of Debian's libsqlite3 (debian/rules), so both builds behave alike.
add_library(sepmet_sqlite3 STATIC "${SEPMET_WINDOWS_SOURCES}/sqlite3/sqlite3.c")
target_include_directories(sepmet_sqlite3 SYSTEM PUBLIC "${SEPMET_WINDOWS_SOURCES}/sqlite3")
target_compile_definitions(sepmet_sqlite3 PRIVATE SQLITE_SECURE_DELETE
    SQLITE_ENABLE_COLUMN_METADATA SQLITE_ENABLE_FTS3 SQLITE_ENABLE_FTS3_PARENTHESIS
    SQLITE_ENABLE_RTREE=1 SQLITE_SOUNDEX=1 SQLITE_ENABLE_UNLOCK_NOTIFY SQLITE_OMIT_LOOKASIDE=1
    SQLITE_ENABLE_DBSTAT_VTAB SQLITE_ALLOW_ROWID_IN_VIEW SQLITE_ENABLE_UPDATE_DELETE_LIMIT=1
    SQLITE_ENABLE_LOAD_EXTENSION SQLITE_ENABLE_JSON1 SQLITE_LIKE_DOESNT_MATCH_BLOBS
    SQLITE_THREADSAFE=1 SQLITE_ENABLE_FTS3_TOKENIZER=1 SQLITE_USE_URI=1
    SQLITE_MAX_SCHEMA_RETRY=25 SQLITE_ENABLE_PREUPDATE_HOOK SQLITE_ENABLE_SESSION
    SQLITE_ENABLE_STMTVTAB SQLITE_MAX_VARIABLE_NUMBER=250000)
target_compile_options(sepmet_sqlite3 PRIVATE -w)
add_library(SQLite::SQLite3 ALIAS sepmet_sqlite3)

add_library(sepmet_pugixml STATIC "${SEPMET_WINDOWS_SOURCES}/pugixml/src/pugixml.cpp")
target_include_directories(sepmet_pugixml SYSTEM PUBLIC "${SEPMET_WINDOWS_SOURCES}/pugixml/src")
add_library(pugixml::pugixml ALIAS sepmet_pugixml)

add_library(Threads::Threads INTERFACE IMPORTED)

if(SEPMET_BUILD_TESTS)
    set(gtest_src /usr/src/googletest)
    add_library(sepmet_gtest STATIC ${gtest_src}/googletest/src/gtest-all.cc
                                    ${gtest_src}/googlemock/src/gmock-all.cc)
    target_include_directories(sepmet_gtest SYSTEM PUBLIC
        ${gtest_src}/googletest/include ${gtest_src}/googlemock/include)
    target_include_directories(sepmet_gtest PRIVATE ${gtest_src}/googletest ${gtest_src}/googlemock)
    add_library(sepmet_gtest_main STATIC ${gtest_src}/googletest/src/gtest_main.cc)
    target_link_libraries(sepmet_gtest_main PUBLIC sepmet_gtest)
    add_library(GTest::gtest ALIAS sepmet_gtest)
    add_library(GTest::gmock ALIAS sepmet_gtest)
    add_library(GTest::gtest_main ALIAS sepmet_gtest_main)
    include(GoogleTest)
endif()
