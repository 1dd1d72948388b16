#include "tests/support/fixture_database.h"

#include "data/connection.h"
#include "demo/host_schema.h"
#include "platform/utf.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdexcept>
#include <unistd.h>

namespace sepmet::test {

namespace {

class Connection {
public:
    explicit Connection(const std::string& path) {
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK)
            throw std::runtime_error("cannot open fixture database " + path);
    }
    ~Connection() { sqlite3_close(db_); }
    sqlite3* get() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

void Run(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string text = error ? error : "";
        sqlite3_free(error);
        throw std::runtime_error("fixture SQL failed: " + text + " in " + sql);
    }
}

void BindText(sqlite3_stmt* stmt, int index, const std::u16string& text) {
    sqlite3_bind_text16(stmt, index, text.c_str(), static_cast<int>(text.size() * 2),
                        SQLITE_TRANSIENT);
}

void Step(sqlite3* db, sqlite3_stmt* stmt) {
    if (sqlite3_step(stmt) != SQLITE_DONE)
        throw std::runtime_error(std::string("fixture insert failed: ") + sqlite3_errmsg(db));
    sqlite3_reset(stmt);
}

} // namespace

FixtureDatabase::FixtureDatabase() {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/sepmet-fixture-XXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0)
        throw std::runtime_error("cannot create a fixture database file");
    close(fd);
    path_ = pattern;
    Connection db(path_);
    Run(db.get(), kHostSchemaSql);
}

FixtureDatabase::~FixtureDatabase() {
    unlink(path_.c_str());
}

FixtureDatabase& FixtureDatabase::Add(const FixtureAssay& a) {
    Connection db(path_);
    Run(db.get(), "BEGIN");
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db.get(),
                       "INSERT INTO assay(id, date, filename, sample, mixture, method,"
                       " iscalibration) VALUES(?, ?, ?, ?, ?, ?, ?)",
                       -1, &stmt, nullptr);
    sqlite3_bind_int64(stmt, 1, a.id);
    sqlite3_bind_int64(stmt, 2, a.date);
    BindText(stmt, 3, a.filename);
    BindText(stmt, 4, a.sample);
    BindText(stmt, 5, a.mixture);
    BindText(stmt, 6, a.method);
    sqlite3_bind_int(stmt, 7, a.iscalibration ? 1 : 0);
    Step(db.get(), stmt);
    sqlite3_finalize(stmt);

    sqlite3_prepare_v2(db.get(),
                       "INSERT INTO peak(assayid, nameid, name, area, time, concentration,"
                       " height, channel, front, back) VALUES(?, ?, ?, ?, ?, ?, 0, ?, 0, 0)",
                       -1, &stmt, nullptr);
    int nameid = 1;
    for (const FixturePeak& p : a.peaks) {
        sqlite3_bind_int64(stmt, 1, a.id);
        sqlite3_bind_int(stmt, 2, nameid++);
        BindText(stmt, 3, p.name);
        sqlite3_bind_double(stmt, 4, p.area);
        sqlite3_bind_double(stmt, 5, p.time);
        sqlite3_bind_double(stmt, 6, p.concentration);
        sqlite3_bind_int(stmt, 7, p.channel);
        Step(db.get(), stmt);
    }
    sqlite3_finalize(stmt);
    Run(db.get(), "COMMIT");
    return *this;
}

void FixtureDatabase::Execute(const std::string& sql) {
    Connection db(path_);
    try {
        Run(db.get(), sql);
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
    }
}

void FixtureDatabase::MakeCurrent() const {
    DataBase::GetConnection().SetUri(FromUtf8(path_).c_str());
}

} // namespace sepmet::test
