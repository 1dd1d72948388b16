#pragma once
// The console report of a benchmark run, then its ratios and goals: each benchmark's time is the
// median of its repetitions, or the single run when it has none, by function name.

#include <benchmark/benchmark.h>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace sepmet::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    enum class Clock { Cpu, Real };

    // `printRatios` prints the closing lines from Time() once every run is reported.
    RatioReporter(Clock clock, std::function<void(const RatioReporter&)> printRatios)
        : clock_(clock), printRatios_(std::move(printRatios)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred)
                continue;
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            if (median || (r.run_type == Run::RT_Iteration && r.repetitions <= 1))
                times_[r.run_name.function_name] =
                    clock_ == Clock::Cpu ? r.GetAdjustedCPUTime() : r.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        printRatios_(*this);
    }

    // The benchmark's time in its own unit; 0 when it did not run or failed.
    double Time(const std::string& function) const {
        const auto found = times_.find(function);
        return found == times_.end() ? 0.0 : found->second;
    }

private:
    Clock clock_;
    std::function<void(const RatioReporter&)> printRatios_;
    std::map<std::string, double> times_;
};

} // namespace sepmet::bench
