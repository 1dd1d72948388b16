#include "bench/support/assay_bench_database.h"

#include "data/connection.h"
#include "platform/utf.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sqlite3.h>

namespace sepmet::bench {
namespace {

void Exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", error ? error : "sqlite error");
        std::exit(1);
    }
}

} // namespace

AssayBenchDatabase::AssayBenchDatabase() {
    // A name of its own for each run: several benchmarks may run at once.
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = (std::filesystem::temp_directory_path() /
             ("sepmet-assay-bench-" + std::to_string(stamp) + ".db"))
                .string();
    sqlite3* db = nullptr;
    if (sqlite3_open(path_.c_str(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "cannot create %s\n", path_.c_str());
        std::exit(1);
    }
    Exec(db, "CREATE TABLE assay(id INTEGER PRIMARY KEY, date INTEGER, filename TEXT,"
             " sample TEXT, mixture TEXT, method TEXT, iscalibration INTEGER);"
             "CREATE TABLE peak(id INTEGER PRIMARY KEY, assayid INTEGER NOT NULL"
             " REFERENCES assay(id), nameid INTEGER, name TEXT, area REAL, time REAL,"
             " concentration REAL, height REAL, channel INTEGER, front REAL, back REAL);"
             "CREATE INDEX peak_by_assay ON peak(assayid);"
             "BEGIN;");
    sqlite3_stmt* assay = nullptr;
    sqlite3_stmt* peak = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO assay VALUES(?, 1700000000, ?, ?, 'Метанол в воде',"
                       " 'ПИД', ?)",
                       -1, &assay, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO peak(assayid, nameid, name, area, time,"
                       " concentration, height, channel, front, back)"
                       " VALUES(?, ?, ?, ?, ?, 0, 0, 1, 0, 0)",
                       -1, &peak, nullptr);
    for (int id = 1; id <= kManyPeaksId; ++id) {
        const std::string file = "D:\\Хроматограммы\\2024\\assay_" + std::to_string(id) + ".chr";
        const std::string sample =
            id % 3 ? "Раствор поглот. №" + std::to_string(id) : "Раствор град. 25 мг/дм3";
        sqlite3_bind_int(assay, 1, id);
        sqlite3_bind_text(assay, 2, file.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(assay, 3, sample.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(assay, 4, id % 3 == 0);
        sqlite3_step(assay);
        sqlite3_reset(assay);
        const int peaks = id == kManyPeaksId ? kManyPeaks : kPeaksPerAssay;
        for (int p = 0; p < peaks; ++p) {
            sqlite3_bind_int(peak, 1, id);
            sqlite3_bind_int(peak, 2, p);
            sqlite3_bind_text(peak, 3, p % 7 == 2 ? "Метанол" : "Компонент", -1, SQLITE_STATIC);
            sqlite3_bind_double(peak, 4, 100.0 + p * id % 97);
            sqlite3_bind_double(peak, 5, 0.5 + p * 0.37);
            sqlite3_step(peak);
            sqlite3_reset(peak);
        }
    }
    sqlite3_finalize(assay);
    sqlite3_finalize(peak);
    Exec(db, "COMMIT;");
    sqlite3_close(db);
    DataBase::GetConnection().SetUri(FromUtf8(path_).c_str());

    std::mt19937 random(20240312);
    std::uniform_int_distribution<int> pick(1, kAssays);
    for (int i = 0; i < kPicked; ++i)
        ids_.push_back(pick(random));
}

AssayBenchDatabase::~AssayBenchDatabase() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

std::size_t ReadAssaysBare(const std::string& path, const std::vector<std::int32_t>& ids) {
    const char16_t* assaySql =
        u"SELECT assay.id, date, filename, sample, mixture, method, iscalibration FROM [assay] "
        u"WHERE assay.id = ?;";
    const char16_t* peakSql = u"SELECT nameid, name, area, time, concentration, height, channel, "
                              u"front, back  FROM [peak] WHERE assayid = ? ORDER BY time;";
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    // One read transaction for all the identifiers, as "+" reads them.
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    std::size_t read = 0;
    for (std::int32_t id : ids) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare16_v2(db, assaySql, -1, &stmt, nullptr);
        sqlite3_bind_int64(stmt, 1, id);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            read += sqlite3_column_int(stmt, 0) + sqlite3_column_int64(stmt, 1);
            for (int c = 2; c <= 5; ++c)
                read +=
                    sqlite3_column_bytes16(stmt, c) + (sqlite3_column_text16(stmt, c) != nullptr);
            read += sqlite3_column_int(stmt, 6);
            sqlite3_stmt* peaks = nullptr;
            sqlite3_prepare16_v2(db, peakSql, -1, &peaks, nullptr);
            sqlite3_bind_int(peaks, 1, id);
            while (sqlite3_step(peaks) == SQLITE_ROW) {
                for (int c : {0, 1})
                    read += sqlite3_column_bytes16(peaks, c) +
                            (sqlite3_column_text16(peaks, c) != nullptr);
                for (int c : {2, 3, 4, 5, 7, 8})
                    read += static_cast<std::size_t>(sqlite3_column_double(peaks, c));
                read += sqlite3_column_int(peaks, 6);
            }
            sqlite3_finalize(peaks);
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return read;
}

} // namespace sepmet::bench
