// sepmet-demo-database FILE: writes the demo analysis database with the host's tables.

#include "tools/demo_database/demo_determination.h"
#include "tools/demo_database/host_schema.h"

#include <cstdio>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

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
    for (const sepmet::demo::DemoAssay& a : sepmet::demo::DemoAssays()) {
        assay.Int(1, a.id)
            .Int(2, a.date)
            .Text(3, a.filename)
            .Text(4, a.sample)
            .Text(5, a.mixture)
            .Text(6, a.method)
            .Int(7, a.iscalibration ? 1 : 0)
            .Run();
        int nameid = 1;
        for (const sepmet::demo::DemoPeak& p : a.peaks) {
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

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sepmet-demo-database FILE\n");
        return 2;
    }
    const char* path = argv[1];
    std::remove(path); // the demo is regenerated whole
    sqlite3* db = nullptr;
    int status = 0;
    if (sqlite3_open(path, &db) != SQLITE_OK) {
        std::fprintf(stderr, "sepmet-demo-database: cannot create %s: %s\n", path,
                     sqlite3_errmsg(db));
        status = 1;
    } else {
        try {
            Write(db);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "sepmet-demo-database: %s: %s\n", path, e.what());
            status = 1;
        }
    }
    sqlite3_close(db);
    return status;
}
