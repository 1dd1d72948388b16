// The main window's hot paths, driven through the window's session as its commands drive it:
// - "+" with 256 identifiers from a 100 000-assay database (the session's AddAssays, its
//   recalculation and the window showing the result) against a bare SQLite loop running the same
//   two statements (goal: ratio <= 1.2). The picked chromatograms are all of one concentration,
//   so the recalculation ends at the calibration and the command's time is its reading;
// - RefreshAssayList with 1 000 chromatograms (goal: under 20 ms);
// - the click on a chromatogram with 500 peaks (goal: under 10 ms).
// Prints the ratio and the times at the end: medians of CPU time, which a machine shared with
// other work leaves steady where wall time is not.

#include "bench/support/assay_bench_database.h"
#include "bench/support/ratio_reporter.h"
#include "ui/dlg_main.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <vector>

namespace sepmet {
namespace {

using bench::AssayBenchDatabase;

AssayBenchDatabase& Database() {
    static AssayBenchDatabase database;
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
    const auto& ids = Database().PickedIds();
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
    for (auto _ : state)
        benchmark::DoNotOptimize(bench::ReadAssaysBare(Database().Path(), Database().PickedIds()));
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
    ListOnly(window, {AssayBenchDatabase::kManyPeaksId});
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
