#include "demo/demo_database.h"

#include "demo/demo_determination.h"
#include "demo/host_schema.h"

#include <cstdio>
#include <sqlite3.h>
#include <stdexcept>

namespace sepmet::demo {
namespace {

void Exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::string text = error ? error : sqlite3_errmsg(db);
        sqlite3_free(error);
        throw std::runtime_error(text);
    }
}

class Insert {
public:
    Insert(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~Insert() { sqlite3_finalize(stmt_); }
    Insert& Int(int index, sqlite3_int64 value) {
        sqlite3_bind_int64(stmt_, index, value);
        return *this;
    }
    Insert& Real(int index, double value) {
        sqlite3_bind_double(stmt_, index, value);
        return *this;
    }
    Insert& Text(int index, const std::string& value) {
        sqlite3_bind_text(stmt_, index, value.c_str(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    void Run() {
        if (sqlite3_step(stmt_) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(db_));
        sqlite3_reset(stmt_);
    }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

void Write(sqlite3* db) {
    Exec(db, sepmet::kHostSchemaSql);
    Exec(db, "BEGIN");
    Insert assay(db, "INSERT INTO assay(id, date, filename, sample, mixture, method,"
                     " iscalibration) VALUES(?, ?, ?, ?, ?, ?, ?)");
    Insert peak(db, "INSERT INTO peak(assayid, nameid, name, area, time, concentration, height,"
                    " channel, front, back) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const DemoAssay& a : DemoAssays()) {
        assay.Int(1, a.id)
            .Int(2, a.date)
            .Text(3, a.filename)
            .Text(4, a.sample)
            .Text(5, a.mixture)
            .Text(6, a.method)
            .Int(7, a.iscalibration ? 1 : 0)
            .Run();
        int nameid = 1;
        for (const DemoPeak& p : a.peaks) {
            // Height and peak bounds as an integrator would give them for a narrow peak.
            const double width = 0.04;
            peak.Int(1, a.id)
                .Int(2, nameid++)
                .Text(3, p.name)
                .Real(4, p.area)
                .Real(5, p.time)
                .Real(6, p.concentration)
                .Real(7, p.area / (width * 60) * 1.5)
                .Int(8, p.channel)
                .Real(9, p.time - width)
                .Real(10, p.time + width)
                .Run();
        }
    }
    Exec(db, "COMMIT");
}

} // namespace

std::string WriteDemoDatabase(const std::string& path) {
    std::remove(path.c_str()); // the demo is regenerated whole
    sqlite3* db = nullptr;
    std::string error;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        error = std::string("cannot create ") + path + ": " + sqlite3_errmsg(db);
    } else {
        try {
            Write(db);
        } catch (const std::exception& e) {
            error = path + ": " + e.what();
        }
    }
    if (sqlite3_close(db) != SQLITE_OK && error.empty())
        error = path + ": " + sqlite3_errmsg(db);
    return error;
}

} // namespace sepmet::demo
