// Generate for a full determination (256 chromatograms, a full message log) against the bare
// libxslt calls on the same texts: parse the document and the stylesheet, apply, save.
// Prints the ratio of the two at the end (goal: at most 1.2). Unless told otherwise, the two run
// as 15 repetitions each in random interleaved order and the ratio is that of their medians of
// CPU time, so that a change of the machine's load during the run falls on both alike.

#include "bench/support/ratio_reporter.h"
#include "platform/shared_data_folder.h"
#include "report/report_generator.h"
#include "tests/report/sample_results.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <libxml/parser.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>
#include <string>
#include <string_view>
#include <vector>

namespace sepmet {
namespace {

const std::string kTemplate =
    std::string(SEPMET_SOURCE_DIR) + "/share/" + kReportTemplateRelativePath;

struct Determination {
    CalculationState state;
    MessageLog log;
    AssayCollection assays;

    Determination() {
        state.settings = {250, 10.5, 0.7, 99.5, 18};
        testing::SetSampleResults(state);
        for (int i = 1; i <= 256; ++i) {
            Assay assay;
            assay.id = i;
            assay.date = 1709629620 + i * 600;
            assay.filename =
                u"D:\\Хроматограммы\\2024\\run" + std::u16string(1, u'0' + i % 10) + u".chr";
            assay.sample = i % 3 ? u"град 25 мг/дм3 & вода <2>" : u"поглот. раствор \"А\"";
            assay.mixture = u"Метанол в воде";
            assay.type = i % 3 ? u"Градуировка" : u"Анализ";
            assays.AddLoadedAssay(assay);
        }
        for (int i = 0; i < 20; ++i) {
            log.AddError(u"Отклонение градуировочного коэффициента превышает норматив: 12,34 %");
            log.AddWarning(u"Расхождение результатов двух хроматограмм: 5,67 %");
            log.AddInformation(u"Требуется третье измерение");
        }
    }
};

// The temporary folder of the run. Every report adds two files, as in use; the folder is emptied
// only long before the names run out, since deleting files makes the file system's next
// creations slower than they are in a temporary folder that only grows.
struct OutputFolder {
    std::string path;
    std::string savedTmpDir;
    bool hadTmpDir = false;
    OutputFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "sepmet-bench-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
        if (const char* old = std::getenv("TMPDIR")) {
            hadTmpDir = true;
            savedTmpDir = old;
        }
        ::setenv("TMPDIR", path.c_str(), 1);
    }
    ~OutputFolder() {
        if (hadTmpDir)
            ::setenv("TMPDIR", savedTmpDir.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
        std::filesystem::remove_all(path);
    }
    void Empty() {
        for (const auto& entry : std::filesystem::directory_iterator(path))
            std::filesystem::remove(entry.path());
    }
};

void BM_Generate(benchmark::State& run) {
    Determination d;
    OutputFolder out;
    ::setenv("XDG_DATA_DIRS", (std::string(SEPMET_SOURCE_DIR) + "/share").c_str(), 1);
    ReportGenerator generator(d.state, d.log);
    generator.assays = &d.assays;
    int made = 0;
    for (auto _ : run) {
        if (!generator.Generate()) {
            run.SkipWithError("Generate failed");
            break;
        }
        if (++made % 30000 == 0) { // far below the 65535 names of a folder
            run.PauseTiming();
            out.Empty();
            run.ResumeTiming();
        }
    }
    run.counters["html_bytes"] = static_cast<double>(generator.ResultXml().size());
}

void BM_BareLibxslt(benchmark::State& run) {
    Determination d;
    OutputFolder out;
    ReportGenerator generator(d.state, d.log);
    generator.assays = &d.assays;
    const std::u16string source = generator.BuildXml();
    const std::string output = out.path + "/bare.html";
    for (auto _ : run) {
        xmlDocPtr doc = xmlReadMemory(reinterpret_cast<const char*>(source.data()),
                                      static_cast<int>(source.size() * 2), nullptr, "UTF-16LE", 0);
        xsltStylesheetPtr style =
            xsltParseStylesheetFile(reinterpret_cast<const xmlChar*>(kTemplate.c_str()));
        xmlDocPtr result = xsltApplyStylesheet(style, doc, nullptr);
        if (!doc || !style || !result ||
            xsltSaveResultToFilename(output.c_str(), result, style, 0) < 0) {
            run.SkipWithError("libxslt failed");
            break;
        }
        xmlFreeDoc(result);
        xsltFreeStylesheet(style);
        xmlFreeDoc(doc);
    }
}

BENCHMARK(BM_BareLibxslt)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Generate)->Unit(benchmark::kMicrosecond);

void PrintRatios(const bench::RatioReporter& reporter) {
    const double generate = reporter.Time("BM_Generate"), bare = reporter.Time("BM_BareLibxslt");
    if (generate > 0 && bare > 0)
        std::printf("Generate / bare libxslt: %.3f (goal <= 1.2); Generate %.1f us, bare %.1f us\n",
                    generate / bare, generate, bare);
}

} // namespace
} // namespace sepmet

int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    const bool repetitionsGiven = std::any_of(args.begin(), args.end(), [](const char* a) {
        return std::string_view(a).rfind("--benchmark_repetitions", 0) == 0;
    });
    static char repetitions[] = "--benchmark_repetitions=15";
    static char interleaving[] = "--benchmark_enable_random_interleaving=true";
    static char minTime[] = "--benchmark_min_time=0.1";
    if (!repetitionsGiven)
        args.insert(args.begin() + 1, {repetitions, interleaving, minTime});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    sepmet::bench::RatioReporter reporter(sepmet::bench::RatioReporter::Clock::Cpu,
                                          sepmet::PrintRatios);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
