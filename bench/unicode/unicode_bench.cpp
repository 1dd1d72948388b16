// The Unicode SQL functions against SQLite's own LIKE and NOCASE on the same data, measured in
// one run: 200 000 rows of mixed Cyrillic and Latin sample texts of 30 to 60 characters.
// After the runs the ratios ours / built-in are printed.

#include "data/unicode_functions.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <random>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 200000;

// Sample texts as an analysis database holds them: words of both scripts, varying case,
// numbers; every few rows mention methanol in some spelling.
std::vector<std::string> SampleTexts() {
    const std::vector<std::string> words = {
        "проба",     "поглотительный", "раствор",  "градуировочный",
        "Метанол",   "МЕТАНОЛ",        "метанол",  "газ",
        "сепарации", "Ёмкость",        "sample",   "Methanol",
        "water",     "vessel",         "Проверка", "анализ",
        "УКПГ-2",    "скв.",           "№",        "линия",
        "Absorber",  "ёлочка",         "test",     "Ёж"};
    std::mt19937 random(42);
    std::vector<std::string> texts;
    texts.reserve(kRows);
    for (int row = 0; row < kRows; ++row) {
        const std::size_t target = 30 + random() % 31; // characters
        std::string text;
        std::size_t characters = 0;
        while (characters < target) {
            const std::string& word = words[random() % words.size()];
            std::string piece = (random() % 4 == 0) ? std::to_string(random() % 1000) : word;
            if (!text.empty())
                piece = " " + piece;
            for (unsigned char byte : piece)
                characters += (byte & 0xC0) != 0x80;
            text += piece;
        }
        // Trim to the target number of characters on a character boundary.
        std::size_t cut = 0, seen = 0;
        while (cut < text.size() && seen < target) {
            ++cut;
            while (cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
                ++cut;
            ++seen;
        }
        texts.push_back(text.substr(0, cut));
    }
    return texts;
}

void Exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK)
        throw std::runtime_error(error ? error : sql);
}

// One in-memory database per (encoding, definitions) pair, filled with the same texts.
sqlite3* Database(const std::string& encoding, bool ours) {
    static std::map<std::pair<std::string, bool>, sqlite3*> databases;
    auto& db = databases[{encoding, ours}];
    if (db)
        return db;
    static const std::vector<std::string> texts = SampleTexts();
    sqlite3_open(":memory:", &db);
    Exec(db, ("PRAGMA encoding = '" + encoding + "'").c_str());
    if (ours && sepmet::RegisterUnicodeFunctions(db) != SQLITE_OK)
        throw std::runtime_error("registration failed");
    Exec(db, "CREATE TABLE assay(id INTEGER PRIMARY KEY, sample TEXT)");
    Exec(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO assay(sample) VALUES (?)", -1, &insert, nullptr);
    for (const std::string& text : texts) {
        sqlite3_bind_text(insert, 1, text.c_str(), static_cast<int>(text.size()), SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Exec(db, "COMMIT");
    return db;
}

// Runs the statement to its end once per iteration.
void RunQuery(benchmark::State& state, sqlite3* db, const char* sql,
              const std::vector<std::string>& parameters = {}) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    for (std::size_t i = 0; i < parameters.size(); ++i)
        sqlite3_bind_text(statement, static_cast<int>(i + 1), parameters[i].c_str(),
                          static_cast<int>(parameters[i].size()), SQLITE_STATIC);
    std::int64_t rows = 0;
    for (auto _ : state) {
        while (sqlite3_step(statement) == SQLITE_ROW)
            ++rows;
        sqlite3_reset(statement);
    }
    sqlite3_finalize(statement);
    benchmark::DoNotOptimize(rows);
}

void Like(benchmark::State& state, bool ours) {
    RunQuery(state, Database("UTF-8", ours),
             "SELECT count(*) FROM assay WHERE sample LIKE '%метанол%'");
}

void OrderByNoCase(benchmark::State& state, const char* encoding, bool ours) {
    RunQuery(state, Database(encoding, ours),
             "SELECT sample FROM assay ORDER BY sample COLLATE NOCASE");
}

void PerRow(benchmark::State& state, const char* sql) {
    RunQuery(state, Database("UTF-8", true), sql);
}

// 24 999 "%a" and a final "b" (49 999 bytes) against 10 000 "a".
void PathologicalPattern(benchmark::State& state, bool ours) {
    std::string pattern;
    for (int i = 0; i < 24999; ++i)
        pattern += "%a";
    pattern += "b";
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    if (ours)
        sepmet::RegisterUnicodeFunctions(db);
    RunQuery(state, db, "SELECT ?2 LIKE ?1", {pattern, std::string(10000, 'a')});
    sqlite3_close(db);
}

BENCHMARK_CAPTURE(Like, ours, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Like, builtin, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OrderByNoCase, utf8_ours, "UTF-8", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OrderByNoCase, utf8_builtin, "UTF-8", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OrderByNoCase, utf16_ours, "UTF-16le", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OrderByNoCase, utf16_builtin, "UTF-16le", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PerRow, raw_length, "SELECT sum(length(sample)) FROM assay")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PerRow, fold, "SELECT sum(length(fold(sample))) FROM assay")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PerRow, unaccent, "SELECT sum(length(unaccent(sample))) FROM assay")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PathologicalPattern, ours, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PathologicalPattern, builtin, false)->Unit(benchmark::kMillisecond);

// Sums the times of every run (all repetitions) for the ratios, which use CPU time: the
// machine may be shared, and waiting for a core is no cost of the code measured.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations <= 0)
                continue;
            std::string name = run.benchmark_name();
            name = name.substr(0, name.find("/repeats:"));
            Totals& totals = totals_[name];
            totals.cpu += run.cpu_accumulated_time;
            totals.real += run.real_accumulated_time;
            totals.iterations += static_cast<double>(run.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatio(const char* label, const std::string& ours, const std::string& baseline,
                    double goal) const {
        const auto a = totals_.find(ours), b = totals_.find(baseline);
        if (a == totals_.end() || b == totals_.end())
            return;
        char goalText[32] = "";
        if (goal > 0)
            std::snprintf(goalText, sizeof goalText, "(goal <= %.1f)", goal);
        std::printf("%-26s %5.2f CPU, %5.2f real %-15s %9.3f ms against %9.3f ms CPU\n", label,
                    a->second.Cpu() / b->second.Cpu(), a->second.Real() / b->second.Real(),
                    goalText, a->second.Cpu() * 1e3, b->second.Cpu() * 1e3);
    }
    void PrintPerRow(const char* label, const std::string& name) const {
        if (const auto a = totals_.find(name); a != totals_.end())
            std::printf("%-30s %7.1f ns CPU per row\n", label, a->second.Cpu() / kRows * 1e9);
    }

private:
    struct Totals {
        double cpu = 0, real = 0, iterations = 0;
        double Cpu() const { return cpu / iterations; }
        double Real() const { return real / iterations; }
    };
    std::map<std::string, Totals> totals_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nratio ours / built-in; the pathological pattern's goal is under 50 ms\n");
    reporter.PrintRatio("LIKE '%metanol%' (Cyr.)", "Like/ours", "Like/builtin", 1.3);
    reporter.PrintRatio("ORDER BY NOCASE, UTF-8", "OrderByNoCase/utf8_ours",
                        "OrderByNoCase/utf8_builtin", 1.5);
    reporter.PrintRatio("ORDER BY NOCASE, UTF-16", "OrderByNoCase/utf16_ours",
                        "OrderByNoCase/utf16_builtin", 1.5);
    reporter.PrintRatio("pathological pattern", "PathologicalPattern/ours",
                        "PathologicalPattern/builtin", 0);
    std::printf("\nper row over the column\n");
    reporter.PrintPerRow("length(sample)", "PerRow/raw_length");
    reporter.PrintPerRow("length(fold(sample))", "PerRow/fold");
    reporter.PrintPerRow("length(unaccent(sample))", "PerRow/unaccent");
    benchmark::Shutdown();
    return 0;
}
