// The host's speed on a laboratory-sized database (100 000 assays): opening the picker, each
// keystroke in its filter, the filter's LIKE query against the same query with SQLite's
// built-in LIKE, and starting the host with the plug-in up to its first shown window.
#include "data/unicode_functions.h"
#include "host/assay_picker.h"
#include "host/assay_table_model.h"
#include "host/host_session.h"
#include "host/host_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sqlite3.h>
#include <string>
#include <unistd.h>

namespace {

using namespace sepmet::host;

constexpr int kAssays = 100000;

std::string TemporaryName(const char* stem) {
    return (std::filesystem::temp_directory_path() /
            (std::string(stem) + std::to_string(getpid()) + ".sqlite"))
        .string();
}

const std::string& LargeDatabase() {
    static const std::string path = [] {
        const std::string file = TemporaryName("sepmet-host-bench-");
        std::remove(file.c_str());
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_exec(db,
                     "CREATE TABLE assay(id INTEGER PRIMARY KEY, date INTEGER, filename TEXT,"
                     " sample TEXT, mixture TEXT, method TEXT, iscalibration INTEGER);"
                     "CREATE TABLE peak(id INTEGER PRIMARY KEY, assayid INTEGER NOT NULL,"
                     " nameid INTEGER, name TEXT, area REAL, time REAL, concentration REAL,"
                     " height REAL, channel INTEGER, front REAL, back REAL);"
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                     "100000)"
                     " INSERT INTO assay SELECT i, 1710224100 + i * 1500,"
                     " printf('D:\\Chrom\\2024-%02d-%02d\\%s_%06d.chr', i % 12 + 1, i % 28 + 1,"
                     "  CASE i % 3 WHEN 0 THEN 'grad' ELSE 'abs' END, i),"
                     " CASE i % 3 WHEN 0 THEN printf('Раствор град. %d мг/дм3 №%d', i % 200, i)"
                     "  ELSE printf('Раствор поглот. №%d, скважина %d', i, i % 97) END,"
                     " CASE i % 3 WHEN 0 THEN 'Метанол в воде' ELSE 'Поглотительный раствор' END,"
                     " 'Метанол в газе сепарации, ПИД', i % 3 = 0 FROM n;",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return file;
    }();
    return path;
}

void PickerOpen(benchmark::State& state) {
    const QString path = QString::fromStdString(LargeDatabase());
    for (auto _ : state) {
        AssayPicker picker(path, 256);
        picker.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(picker.model().rowCount());
    }
}

// One keystroke: the filter grows by one letter, as an operator types it. The texts cover a
// filter that matches every third row, one that matches a few rows far apart and one that
// matches none (every row is read).
void FilterKeystroke(benchmark::State& state, const char* typed) {
    AssayPicker picker(QString::fromStdString(LargeDatabase()), 256);
    picker.show();
    QCoreApplication::processEvents();
    const QString text = QString::fromUtf8(typed);
    int length = 0;
    for (auto _ : state) {
        length = length % text.size() + 1;
        picker.filterField().setText(text.left(length));
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(picker.model().rowCount());
    }
}

// The model's filtered page query over every row (a text no row contains), with the Unicode
// LIKE the host registers and with SQLite's own LIKE.
void LikeQuery(benchmark::State& state, bool unicode) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(LargeDatabase().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (unicode)
        sepmet::RegisterUnicodeFunctions(db);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, AssayPageSql(true), -1, &stmt, nullptr);
    const QByteArray pattern = LiteralSubstringPattern(QStringLiteral("нет такой пробы")).toUtf8();
    for (auto _ : state) {
        sqlite3_bind_int64(stmt, 1, -1);
        sqlite3_bind_text(stmt, 2, pattern.constData(), static_cast<int>(pattern.size()),
                          SQLITE_STATIC);
        sqlite3_bind_int(stmt, 3, AssayTableModel::kPageRows);
        int rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            ++rows;
        sqlite3_reset(stmt);
        benchmark::DoNotOptimize(rows);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

// From nothing to the host window shown with the plug-in loaded and started.
void HostStart(benchmark::State& state) {
    const QString profile = QString::fromStdString(TemporaryName("sepmet-host-bench-profile-"));
    SessionSettings settings{QString::fromStdString(LargeDatabase()), profile,
                             QStringLiteral(SEPMET_PLUGIN_FOLDER), false};
    for (auto _ : state) {
        HostSession session(settings);
        session.Start();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(session.window()->isVisible());
        state.PauseTiming();
        session.Shutdown();
        state.ResumeTiming();
    }
    for (const char* suffix : {"", "-wal", "-shm"})
        std::remove((profile.toStdString() + suffix).c_str());
}

// The whole program: process start, QApplication, window shown, plug-in loaded and started,
// then "Файл → Выход" chosen at once (Unload, dlclose, exit). An upper bound of the start.
void HostProcess(benchmark::State& state) {
    const QString profile = QString::fromStdString(TemporaryName("sepmet-host-bench-process-"));
    const QStringList arguments = {
        QStringLiteral("-platform"), QStringLiteral("offscreen"),
        QStringLiteral("--db"),      QString::fromStdString(LargeDatabase()),
        QStringLiteral("--profile"), profile,
        QStringLiteral("--plugins"), QStringLiteral(SEPMET_PLUGIN_FOLDER),
        QStringLiteral("--open"),    QStringLiteral("Файл/Выход")};
    for (auto _ : state) {
        QProcess host;
        host.start(QStringLiteral(SEPMET_HOST_PATH), arguments);
        if (!host.waitForFinished(30000) || host.exitCode() != 0) {
            state.SkipWithError("sepmet-host did not end cleanly");
            break;
        }
    }
    for (const char* suffix : {"", "-wal", "-shm"})
        std::remove((profile.toStdString() + suffix).c_str());
}

BENCHMARK(PickerOpen)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(FilterKeystroke, common, "поглот")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FilterKeystroke, rare, "№99999,")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FilterKeystroke, none, "ЁЛКА")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LikeQuery, unicode, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LikeQuery, builtin, false)->Unit(benchmark::kMillisecond);
BENCHMARK(HostStart)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(HostProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Keeps the mean CPU time of every benchmark for the ratio and the goals.
class GoalReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                cpu_[run.benchmark_name()] = run.cpu_accumulated_time / run.iterations * 1e3;
                real_[run.benchmark_name()] = run.real_accumulated_time / run.iterations * 1e3;
            }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintGoal(const char* label, const std::string& name, double goalMs) const {
        if (const auto found = real_.find(name); found != real_.end())
            std::printf("%-34s %8.2f ms real, %8.2f ms CPU (goal < %.0f ms)\n", label,
                        found->second, cpu_.at(name), goalMs);
    }
    void PrintRatio(const char* label, const std::string& ours, const std::string& baseline,
                    double goal) const {
        const auto a = cpu_.find(ours), b = cpu_.find(baseline);
        if (a != cpu_.end() && b != cpu_.end())
            std::printf("%-34s %8.2f CPU (goal <= %.1f): %.2f ms against %.2f ms\n", label,
                        a->second / b->second, goal, a->second, b->second);
    }

private:
    std::map<std::string, double> cpu_, real_;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtCount = 1;
    char name[] = "host_bench";
    char* qtArguments[] = {name, nullptr};
    QApplication application(qtCount, qtArguments);
    benchmark::Initialize(&argc, argv);
    GoalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%d assays\n", kAssays);
    reporter.PrintGoal("picker open", "PickerOpen/min_time:1.000", 300);
    reporter.PrintGoal("keystroke, every third row matches", "FilterKeystroke/common", 50);
    reporter.PrintGoal("keystroke, a few rows match", "FilterKeystroke/rare", 50);
    reporter.PrintGoal("keystroke, no row matches", "FilterKeystroke/none", 50);
    reporter.PrintRatio("filter LIKE / built-in LIKE", "LikeQuery/unicode", "LikeQuery/builtin",
                        1.3);
    reporter.PrintGoal("host start to first shown window", "HostStart/min_time:1.000", 500);
    reporter.PrintGoal("whole program, start to exit", "HostProcess/min_time:2.000/real_time", 500);
    benchmark::Shutdown();
    std::remove(LargeDatabase().c_str());
    return 0;
}
