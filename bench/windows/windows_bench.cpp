// "+" on Windows: the session's AddAssays with 256 identifiers from a 100 000-assay database
// against the bare SQLite loop reading the same rows, in one program (goal: ratio <= 1.3).
// MinGW has no Google Benchmark, so the program times the two itself: each sample is several
// runs of one of them, the samples of both are interleaved in a random order so that the load of
// a shared machine drifting during the run falls on both alike, and the ratio is that of the
// medians (and, steadier on a busy machine, of the fastest samples). Wall time: under Wine the
// process's CPU time has only the kernel's tick resolution.
//
// Usage: windows_bench [SAMPLES]   (samples of each, default 15)

#include "bench/support/assay_bench_database.h"
#include "calc/calculation_state.h"
#include "session/determination_session.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <set>
#include <vector>

namespace sepmet {
namespace {

constexpr int kRunsPerSample = 5;

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// A measured operation: `prepare` runs untimed before each run, `run` is timed.
struct Measured {
    const char* name;
    std::function<void()> prepare;
    std::function<void()> run;
    std::vector<double> samples; // milliseconds per run
};

void TakeSample(Measured& measured) {
    Clock::duration spent{};
    for (int i = 0; i < kRunsPerSample; ++i) {
        measured.prepare();
        const Clock::time_point start = Clock::now();
        measured.run();
        spent += Clock::now() - start;
    }
    measured.samples.push_back(std::chrono::duration<double, std::milli>(spent).count() /
                               kRunsPerSample);
}

int Run(int samples) {
    std::printf("writing the database of %d chromatograms...\n",
                bench::AssayBenchDatabase::kAssays);
    std::fflush(stdout);
    const bench::AssayBenchDatabase database;
    const std::vector<std::int32_t>& ids = database.PickedIds();

    CalculationState state;
    DeterminationSession session(state); // no listener: nothing goes to an audit trail
    session.Open(MeasurementSettings{});
    std::size_t read = 0;
    Measured add{"\"+\" (DeterminationSession::AddAssays)",
                 [&] { session.RemoveAll(); },
                 [&] { session.AddAssays(ids); },
                 {}};
    Measured bare{"bare SQLite loop, same rows",
                  [] {},
                  [&] { read += bench::ReadAssaysBare(database.Path(), ids); },
                  {}};

    // Both once before timing: the file in the system's cache, the statements' code paged in.
    for (Measured* measured : {&add, &bare}) {
        measured->prepare();
        measured->run();
    }
    const std::size_t distinct = std::set<std::int32_t>(ids.begin(), ids.end()).size();
    if (session.Assays().Count() != distinct || read == 0) {
        std::fprintf(stderr, "the runs read nothing: %zu of %zu chromatograms listed\n",
                     session.Assays().Count(), distinct);
        return 1;
    }

    std::vector<Measured*> order;
    for (int i = 0; i < samples; ++i)
        order.insert(order.end(), {&add, &bare});
    std::shuffle(order.begin(), order.end(), std::mt19937(20240312));
    for (Measured* measured : order)
        TakeSample(*measured);

    std::printf("\"+\" with %zu identifiers (%zu chromatograms) from %d, %d samples of %d runs "
                "each, interleaved; medians of wall time per run:\n",
                ids.size(), distinct, bench::AssayBenchDatabase::kAssays, samples, kRunsPerSample);
    for (const Measured* measured : {&add, &bare}) {
        const auto [low, high] =
            std::minmax_element(measured->samples.begin(), measured->samples.end());
        std::printf("  %-40s %8.2f ms  (samples %.2f to %.2f ms)\n", measured->name,
                    Median(measured->samples), *low, *high);
    }
    const auto fastest = [](const Measured& measured) {
        return *std::min_element(measured.samples.begin(), measured.samples.end());
    };
    std::printf("ratio \"+\" / bare SQLite loop: %.3f of the medians, %.3f of the fastest "
                "samples (goal <= 1.3)\n",
                Median(add.samples) / Median(bare.samples), fastest(add) / fastest(bare));
    return 0;
}

} // namespace
} // namespace sepmet

int main(int argc, char** argv) {
    const int samples = argc > 1 ? std::atoi(argv[1]) : 15;
    if (samples < 1) {
        std::fprintf(stderr, "usage: windows_bench [SAMPLES]\n");
        return 2;
    }
    return sepmet::Run(samples);
}
