// The main window's hot paths, driven through the window's session as its commands drive it:
// - "+" with 256 identifiers from a 100 000-assay database (the session's AddAssays, its
//   recalculation and the window showing the result) against a bare SQLite loop running the same
//   two statements (goal: ratio <= 1.2). The picked chromatograms are all of one concentration,
//   so the recalculation ends at the calibration and the command's time is its reading;
// - RefreshAssayList with 1 000 chromatograms (goal: under 20 ms);
// - the click on a chromatogram with 500 peaks (goal: under 10 ms).
// Prints the ratio and the times at the end: medians of CPU time, which a machine shared with
// other work leaves steady where wall time is not.

#include "bench/support/ratio_reporter.h"
#include "data/connection.h"
#include "platform/utf.h"
#include "ui/dlg_main.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sqlite3.h>
#include <string>
#include <unistd.h>

namespace sepmet {
namespace {

constexpr int kAssays = 100000;
constexpr int kPeaksPerAssay = 8;
constexpr int kPicked = 256;
// One more chromatogram, of kManyPeaks peaks, for the click.
constexpr int kManyPeaksId = kAssays + 1;
constexpr int kManyPeaks = 500;

void Exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", error ? error : "sqlite error");
        std::exit(1);
    }
}

// The host's tables with kAssays chromatograms of kPeaksPerAssay peaks each.
class BenchDatabase {
public:
    BenchDatabase() {
        path_ = (std::filesystem::temp_directory_path() /
                 ("sepmet-ui-bench-" + std::to_string(getpid()) + ".db"))
                    .string();
        sqlite3* db = nullptr;
        sqlite3_open(path_.c_str(), &db);
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
            const std::string file =
                "D:\\Хроматограммы\\2024\\assay_" + std::to_string(id) + ".chr";
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
    ~BenchDatabase() { std::filesystem::remove(path_); }

    const std::string& Path() const { return path_; }
    const std::vector<std::int32_t>& Ids() const { return ids_; }

private:
    std::string path_;
    std::vector<std::int32_t> ids_;
};

BenchDatabase& Database() {
    static BenchDatabase database;
    return database;
}

DlgMain& Window() {
    static DlgMain* window = [] {
        auto* w = new DlgMain(nullptr);
        w->CreateModeless();
        // Not the audit trail: it would record the benchmark's commands in the user's trail.
        w->Session().SetListener(nullptr);
        return w;
    }();
    return *window;
}

// The window's list holds exactly these chromatograms of the database afterwards.
void ListOnly(DlgMain& window, const std::vector<std::int32_t>& ids) {
    window.ShowResult(window.Session().RemoveAll());
    window.ShowResult(window.Session().AddAssays(ids));
}

void BM_AddCommand(benchmark::State& state) {
    const auto& ids = Database().Ids();
    DlgMain& window = Window();
    for (auto _ : state) {
        state.PauseTiming();
        window.ShowResult(window.Session().RemoveAll());
        state.ResumeTiming();
        window.ShowResult(window.Session().AddAssays(ids));
        benchmark::DoNotOptimize(window.Assays().Count());
    }
}
BENCHMARK(BM_AddCommand)->Unit(benchmark::kMillisecond)->Repetitions(5);

// The same two statements per identifier on a bare connection, rows read column by column.
void BM_BareSqliteLoop(benchmark::State& state) {
    const auto& ids = Database().Ids();
    const std::string path = Database().Path();
    const char16_t* assaySql =
        u"SELECT assay.id, date, filename, sample, mixture, method, iscalibration FROM [assay] "
        u"WHERE assay.id = ?;";
    const char16_t* peakSql = u"SELECT nameid, name, area, time, concentration, height, channel, "
                              u"front, back  FROM [peak] WHERE assayid = ? ORDER BY time;";
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        std::size_t read = 0;
        for (std::int32_t id : ids) {
            sqlite3_stmt* stmt = nullptr;
            sqlite3_prepare16_v2(db, assaySql, -1, &stmt, nullptr);
            sqlite3_bind_int64(stmt, 1, id);
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                read += sqlite3_column_int(stmt, 0) + sqlite3_column_int64(stmt, 1);
                for (int c = 2; c <= 5; ++c)
                    read += sqlite3_column_bytes16(stmt, c) +
                            (sqlite3_column_text16(stmt, c) != nullptr);
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
        sqlite3_close(db);
        benchmark::DoNotOptimize(read);
    }
}
BENCHMARK(BM_BareSqliteLoop)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_RefreshAssayList1000(benchmark::State& state) {
    DlgMain& window = Window();
    std::vector<std::int32_t> ids;
    for (int id = 1; id <= 1000; ++id)
        ids.push_back(id);
    ListOnly(window, ids);
    for (auto _ : state)
        window.RefreshAssayList();
}
BENCHMARK(BM_RefreshAssayList1000)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_ClickOn500Peaks(benchmark::State& state) {
    DlgMain& window = Window();
    ListOnly(window, {kManyPeaksId});
    for (auto _ : state)
        window.OnListClick(0);
}
BENCHMARK(BM_ClickOn500Peaks)->Unit(benchmark::kMillisecond)->Repetitions(5);

void PrintRatios(const bench::RatioReporter& reporter) {
    const auto time = [&](const char* name) { return reporter.Time(name); };
    if (time("BM_AddCommand") > 0 && time("BM_BareSqliteLoop") > 0)
        std::printf("\"+\" / bare SQLite loop: %.3f (goal <= 1.2); \"+\" %.2f ms, bare %.2f ms\n",
                    time("BM_AddCommand") / time("BM_BareSqliteLoop"), time("BM_AddCommand"),
                    time("BM_BareSqliteLoop"));
    if (time("BM_RefreshAssayList1000") > 0)
        std::printf("RefreshAssayList, 1 000 rows: %.2f ms (goal < 20 ms)\n",
                    time("BM_RefreshAssayList1000"));
    if (time("BM_ClickOn500Peaks") > 0)
        std::printf("click on a chromatogram of 500 peaks: %.3f ms (goal < 10 ms)\n",
                    time("BM_ClickOn500Peaks"));
}

} // namespace
} // namespace sepmet

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    sepmet::Database();
    sepmet::bench::RatioReporter reporter(sepmet::bench::RatioReporter::Clock::Cpu,
                                          sepmet::PrintRatios);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
