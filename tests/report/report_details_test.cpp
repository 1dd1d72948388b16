// The shipped template with the details of the recalculation: calibration levels, the plot and the
// measurements of the demo determination, failures marked, and the pages as WeasyPrint prints them.

#include "calc/recalculation.h"
#include "demo/demo_determination.h"
#include "platform/number_text.h"
#include "platform/utf.h"
#include "report/report_generator.h"
#include "report_test_support.h"
#include "tests/support/scoped_shared_data_folder.h"
#include "tests/support/wine.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <regex>

namespace sepmet {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using testing::ReadFile;
using testing::ScopedEnv;

// The demo chromatograms `ids`, in that order, as the data layer would load them.
AssayCollection DemoChromatograms(std::initializer_list<int> ids, bool failLevel = false) {
    const std::vector<demo::DemoAssay> all = demo::DemoAssays();
    AssayCollection assays;
    for (int id : ids) {
        const demo::DemoAssay& d = all.at(static_cast<std::size_t>(id - 1));
        Assay a;
        a.id = d.id;
        a.date = d.date;
        a.filename = FromUtf8(d.filename);
        a.sample = FromUtf8(d.sample);
        a.mixture = FromUtf8(d.mixture);
        a.method = FromUtf8(d.method);
        a.iscalibration = d.iscalibration;
        for (const demo::DemoPeak& p : d.peaks) {
            Peak peak;
            peak.name = FromUtf8(p.name);
            peak.area = p.area;
            peak.time = p.time;
            peak.concentration = p.concentration;
            peak.channel = p.channel;
            a.peaks.push_back(peak);
        }
        // The first area of 5 mg/dm3 20 % high: that level fails the 5 % rule.
        if (failLevel && id == 1)
            for (Peak& peak : a.peaks)
                peak.area *= peak.concentration > 0 ? 1.2 : 1;
        UpdateTypeText(a);
        assays.AddLoadedAssay(a);
    }
    return assays;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class ReportDetailsTest : public ::testing::Test {
protected:
    ReportDetailsTest() {
        state.settings.vW = 100;
        state.settings.vG = 10;
        state.settings.rhoG = 0.7;
        generator.SetClock([] { return std::time_t{1710260000}; });
    }

    std::string Report(AssayCollection chromatograms) {
        assays = std::move(chromatograms);
        ReadinessFlags flags;
        Recalculate(assays, state, log, flags);
        generator.assays = &assays;
        EXPECT_TRUE(generator.Generate());
        EXPECT_TRUE(messages.shown.empty());
        return ReadFile(generator.OutputFile());
    }

    testing::TemporaryFolder temp;
    testing::ScopedSharedDataFolder dataFolder{testing::ShippedSharedDataFolder()};
    ScopedEnv tmpDir{"TMPDIR", temp.Path()};
    ScopedEnv zone{"TZ", "UTC0"};
    ScopedEnv locale{"LC_ALL", "C"};
    testing::MessageBoxRecorder messages;
    CalculationState state;
    MessageLog log;
    AssayCollection assays;
    ReportGenerator generator{state, log};
};

TEST_F(ReportDetailsTest, DemoDeterminationShowsLevelsPlotAndMeasurements) {
    if (testing::RunningUnderWine())
        GTEST_SKIP() << "Wine's MSXML takes only texts as stylesheet parameters, not the details "
                        "document";
    const std::string html = Report(DemoChromatograms({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    // Ten calibration points, the line, no failure.
    EXPECT_EQ(Count(html, "<circle r=\"4\""), 10u);
    EXPECT_THAT(html, HasSubstr("S = c / K"));
    EXPECT_THAT(html, Not(HasSubstr("class=\"failed\"")));
    // Each level's K recomputes from the areas of the database.
    const struct {
        double c, s1, s2;
    } levels[] = {{5, 101.87, 100.95},
                  {25, 509.3, 504.6},
                  {100, 2034.7, 2019.8},
                  {150, 3051.2, 3030.4},
                  {200, 4068.9, 4049.1}};
    for (const auto& l : levels) {
        const double k1 = l.c / l.s1, k2 = l.c / l.s2;
        const double k = std::round((k2 + k1) * 0.5 * 10000) / 10000;
        const std::string row = "<td class=\"num\">" + ToUtf8(FormatGeneral(l.c, 10)) + "</td>";
        const std::size_t at = html.find(row, html.find("<table class=\"levels\">"));
        ASSERT_NE(at, std::string::npos) << l.c;
        const std::string cells = html.substr(at, 700);
        for (double value : {k1, k2, k})
            EXPECT_THAT(cells, HasSubstr(ToUtf8(FormatFixed(value, 4)))) << l.c;
        EXPECT_THAT(cells, HasSubstr(ToUtf8(FormatFixed(std::fabs(k1 - k) / k * 100, 2))));
    }
    for (const char* part :
         {"abs_11.chr", "243,6", "12,009480", "0,120095", "0,121377", "V<sub>0</sub> = 10 дм³",
          "Повторяемость: D = 1,06 % ≤ r = 12,67 %", "δ = 18,19 %"})
        EXPECT_THAT(html, HasSubstr(part));
}

TEST_F(ReportDetailsTest, FailuresAreMarkedInTheTablesAndThePlot) {
    if (testing::RunningUnderWine())
        GTEST_SKIP() << "Wine's MSXML takes only texts as stylesheet parameters, not the details "
                        "document";
    // A level whose first area is 20 % high: its row and its two points in red, no line.
    std::string html = Report(DemoChromatograms({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, true));
    EXPECT_EQ(Count(html, "<tr class=\"failed\">"), 1u);
    EXPECT_THAT(html, HasSubstr("✗ d &gt; 5 %"));
    EXPECT_EQ(Count(html, "fill=\"#c00000\""), 4u); // two points, the legend's point and text
    EXPECT_THAT(html, HasSubstr("уровень не прошел проверку"));
    EXPECT_THAT(html, Not(HasSubstr("S = c / K")));
    EXPECT_THAT(html, HasSubstr("Градуировочный коэффициент не получен."));

    // A pair beyond the repeatability limit: the test line says so, and no result is printed.
    html = Report(DemoChromatograms({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 16, 17}));
    EXPECT_THAT(html,
                HasSubstr("<li class=\"failed\">Повторяемость: D = 14,42 % &gt; r = 12,61 %"));
    EXPECT_THAT(html, HasSubstr("Результат не получен."));
    EXPECT_THAT(html, Not(HasSubstr("δ =")));
}

TEST_F(ReportDetailsTest, DetailsAreASecondDocumentAndTheReportDocumentIsUnchanged) {
    Report(DemoChromatograms({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 16, 17, 18}));
    EXPECT_THAT(ToUtf8(generator.sourceXml), Not(HasSubstr("level")));
    const std::string details = ToUtf8(generator.detailsXml);
    EXPECT_THAT(details, HasSubstr("<calibration k_avg=\"0,0493\" value=\"0.0493\">"));
    EXPECT_THAT(details, HasSubstr("<measurement number=\"13\" fileName=\"abs_18.chr\" "
                                   "S=\"265\" X=\"13,064500\" Y=\"0,130645\"/>"));
    EXPECT_THAT(details, HasSubstr("<test kind=\"repeatability\" D=\"14,42\" limit=\"12,61\""));
    EXPECT_THAT(details, HasSubstr("<test kind=\"criticalRange\" D=\"14,27\" limit=\"14,57\""));

    // A recalculation that does not reach the calibration: an empty details document.
    Report(DemoChromatograms({11, 12}));
    EXPECT_THAT(ToUtf8(generator.detailsXml), HasSubstr("<details/>"));
}

// The pages as printed: A4, nothing beyond the right margin, a PNG of each page.
TEST_F(ReportDetailsTest, PagesFitA4AndAreWrittenAsScreenshots) {
    if (std::system("command -v weasyprint >/dev/null && command -v pdftoppm >/dev/null && "
                    "command -v pdftotext >/dev/null") != 0)
        GTEST_SKIP() << "weasyprint or poppler-utils is not installed";
    const struct {
        const char* name;
        std::initializer_list<int> ids;
        bool failLevel;
    } reports[] = {
        {"report-demo", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, false},
        {"report-third-measurement", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 16, 17, 18}, false},
        {"report-repeatability-failed", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 16, 17}, false},
        {"report-level-failed", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, true},
    };
    const std::string folder = SEPMET_SCREENSHOT_DIR;
    std::filesystem::create_directories(folder);
    for (const auto& report : reports) {
        SCOPED_TRACE(report.name);
        Report(DemoChromatograms(report.ids, report.failLevel));
        const std::string pdf = temp.Path() + "/" + report.name + ".pdf";
        const std::string bbox = temp.Path() + "/" + report.name + ".bbox";
        for (const auto& old : std::filesystem::directory_iterator(folder))
            if (old.path().filename().string().rfind(std::string(report.name) + "-page-", 0) == 0)
                std::filesystem::remove(old.path());
        ASSERT_EQ(std::system(("weasyprint -q '" + generator.OutputFile() + "' '" + pdf +
                               "' 2>/dev/null && pdftotext -bbox '" + pdf + "' '" + bbox +
                               "' && pdftoppm -r 80 -png '" + pdf + "' '" + folder + "/" +
                               report.name + "-page'")
                                  .c_str()),
                  0);
        const std::string words = ReadFile(bbox);
        std::smatch size;
        ASSERT_TRUE(std::regex_search(
            words, size, std::regex("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\"")));
        EXPECT_NEAR(std::stod(size[1]), 595.28, 0.5); // A4, 210 × 297 mm
        EXPECT_NEAR(std::stod(size[2]), 841.89, 0.5);
        const double width = std::stod(size[1]);
        const std::regex edge("xMax=\"([0-9.]+)\"");
        for (auto it = std::sregex_iterator(words.begin(), words.end(), edge);
             it != std::sregex_iterator(); ++it)
            EXPECT_LE(std::stod((*it)[1]), width - 12 / 25.4 * 72 + 1); // the right margin
    }
}

} // namespace
} // namespace sepmet
