// The platform services the report stands on: shared data folder, temporary files, dates.

#include "platform/local_time.h"
#include "platform/shared_data_folder.h"
#include "platform/temp_file.h"
#include "platform/utf.h"
#include "report/report_file.h"
#include "report/report_generator.h"
#include "report_test_support.h"
#include "tests/support/scoped_shared_data_folder.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>

namespace sepmet {
namespace {

using ::testing::HasSubstr;
using testing::MessageBoxRecorder;
using testing::ReadFile;
using testing::ScopedEnv;
using ::testing::StartsWith;

TEST(SharedDataFolder, FirstFolderHoldingTheTemplateElseTheFirst) {
#if defined(_WIN32)
    GTEST_SKIP() << "the Windows build reads the public documents folder, not $XDG_DATA_DIRS";
#endif
    testing::TemporaryFolder a, b;
    b.Write(kReportTemplateRelativePath, "<x/>");
    const struct {
        std::optional<std::string> value;
        std::optional<std::string> expected;
    } cases[] = {
        {a.Path() + ":" + b.Path(), b.Path()},
        {b.Path() + "/:" + a.Path(), b.Path()},
        {a.Path() + "//", a.Path()},
        {"relative:" + a.Path() + "::" + b.Path(), b.Path()},
        {"relative:also/relative", std::nullopt},
        {std::nullopt, "/usr/local/share"},
        {"", "/usr/local/share"},
    };
    for (const auto& c : cases) {
        ScopedEnv env("XDG_DATA_DIRS", c.value);
        EXPECT_EQ(SharedDataFolder(), c.expected) << c.value.value_or("(unset)");
    }
    EXPECT_EQ(SharedDataFile("/", "a/b"), "/a/b");
    EXPECT_EQ(SharedDataFile("/x", "a/b"), "/x/a/b");
}

TEST(SharedDataFolder, PublicDocumentsOnWindows) {
#if !defined(_WIN32)
    GTEST_SKIP() << "the public documents folder is Windows' own";
#else
    const std::optional<std::string> folder = SharedDataFolder();
    ASSERT_TRUE(folder.has_value());
    EXPECT_TRUE(std::filesystem::path(*folder).is_absolute()) << *folder;
    EXPECT_TRUE(std::filesystem::is_directory(*folder)) << *folder;
    EXPECT_EQ(SharedDataFile("C:\\Users\\Public\\Documents", "a/b"),
              "C:\\Users\\Public\\Documents\\a\\b");
    EXPECT_EQ(SharedDataFile("C:\\", "a/b"), "C:\\a\\b");
#endif
}

// A folder set in place of the system's is read until it is reset, on either system; nullopt
// stands for no folder at all.
TEST(SharedDataFolder, SetFolderTakesThePlaceOfTheSystemsUntilReset) {
    const std::optional<std::string> system = SystemSharedDataFolder();
    EXPECT_EQ(SharedDataFolder(), system);
    for (const std::optional<std::string>& folder :
         {std::optional<std::string>("elsewhere"), std::optional<std::string>()}) {
        SetSharedDataFolder(folder);
        EXPECT_EQ(SharedDataFolder(), folder);
        EXPECT_EQ(SystemSharedDataFolder(), system);
    }
    {
        testing::ScopedSharedDataFolder outer("outer");
        {
            testing::ScopedSharedDataFolder inner(std::nullopt);
            EXPECT_EQ(SharedDataFolder(), std::nullopt);
        }
        EXPECT_EQ(SharedDataFolder(), "outer");
    }
    EXPECT_EQ(SharedDataFolder(), system);
}

TEST(TemporaryFile, ReservesNewNamesAndNeverReusesOne) {
    testing::TemporaryFolder folder;
#if !defined(_WIN32) // Windows' temporary folder is GetTempPathW's, not $TMPDIR
    {
        ScopedEnv env("TMPDIR", folder.Path() + "/");
        EXPECT_EQ(TemporaryFolder(), folder.Path());
    }
    {
        ScopedEnv env("TMPDIR", "");
        EXPECT_EQ(TemporaryFolder(), "/tmp");
    }
#endif
    std::set<std::string> paths;
    for (int i = 0; i < 20; ++i) {
        ReservedFile file = ReserveTemporaryFile(folder.Path(), "pqr", ".html");
        ASSERT_TRUE(file.reserved()) << file.error;
        EXPECT_EQ(file.path, file.reservedName + ".html");
        EXPECT_TRUE(std::filesystem::is_regular_file(file.reservedName));
        EXPECT_TRUE(paths.insert(file.path).second);
    }
    EXPECT_EQ(folder.Names().size(), 40u);
}

TEST(TemporaryFile, TakenCompanionNameIsSkippedAndNotWrittenThrough) {
#if defined(_WIN32)
    GTEST_SKIP() << "writing 65 535 files takes minutes under Wine";
#endif
    // With every number but one taken by an HTML file of that name, the free number is found and
    // the existing files keep their content.
    testing::TemporaryFolder folder;
    const std::string content = "someone else's";
    for (unsigned n = 1; n <= 0xFFFF; ++n) {
        if (n == 0x2A)
            continue;
        char name[32];
        std::snprintf(name, sizeof name, "/pqr%X.TMP.html", n);
        std::FILE* f = std::fopen((folder.Path() + name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs(content.c_str(), f);
        std::fclose(f);
    }
    ReservedFile file = ReserveTemporaryFile(folder.Path(), "pqr", ".html");
    ASSERT_TRUE(file.reserved()) << file.error;
    EXPECT_EQ(file.path, folder.Path() + "/pqr2A.TMP.html");
    EXPECT_EQ(ReadFile(folder.Path() + "/pqr1.TMP.html"), content);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + "/pqr1.TMP"));

    ReservedFile none = ReserveTemporaryFile(folder.Path(), "pqr", ".html");
    EXPECT_FALSE(none.reserved());
    EXPECT_THAT(none.error, HasSubstr("all names are taken"));
}

TEST(LocalTime, WithoutAUserLocaleTheDayComesFirst) {
    ScopedEnv zone("TZ", "UTC0");
    ReadLocalTimeZone();
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const std::time_t when = 1709629620; // 5 March 2024, 09:07 UTC
    const struct {
        const char* variable;
        const char* value;
    } cases[] = {
        {"LC_ALL", "C"},       {"LC_ALL", "POSIX"},
        {"LC_ALL", "C.UTF-8"}, {"LC_TIME", "xx_NOWHERE.UTF-8"}, // not installed
        {"LANG", ""},                                           // nothing set at all
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.variable) + "=" + c.value);
        ScopedEnv all("LC_ALL", std::nullopt);
        ScopedEnv time("LC_TIME", std::nullopt);
        ScopedEnv lang("LANG", std::nullopt);
        ScopedEnv set(c.variable, c.value);
        EXPECT_EQ(FormatUserDateTime(when), u"05.03.2024 09:07:00");
    }
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), before);
    EXPECT_EQ(FormatChromatogramDate(when), u"05.03.24  09:07");
}

TEST(LocalTime, AUserLocaleKeepsItsOwnForms) {
    // Only "C" and "POSIX" may be installed: the test compiles a locale of its own.
    testing::TemporaryFolder locales;
    const std::string command =
        "localedef -i en_US -f UTF-8 '" + locales.Path() + "/en_US.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        GTEST_SKIP() << "localedef cannot compile en_US.UTF-8";
    ScopedEnv zone("TZ", "UTC0");
    ReadLocalTimeZone();
    ScopedEnv path("LOCPATH", locales.Path());
    ScopedEnv all("LC_ALL", "en_US.UTF-8");
    const std::string before = std::setlocale(LC_ALL, nullptr);
    EXPECT_EQ(FormatUserDateTime(1709629620), u"03/05/2024 09:07:00 AM");
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), before);
}

TEST(BatchReport, WritesTheRenderedReportAndTheDocumentBytes) {
    testing::TemporaryFolder out;
    ScopedEnv zone("TZ", "UTC0");
    MessageBoxRecorder messages;
    CalculationState state;
    state.calibrationTable[u"Метанол"].k_avg = 0.05;
    state.gradPageRefilled = true;
    MessageLog log;
    AssayCollection assays;

    const std::string html = out.Path() + "/report.html";
    out.Write("report.html", "old content that is replaced");
    const std::string xsl =
        std::string(SEPMET_SOURCE_DIR) + "/share/" + kReportTemplateRelativePath;
    EXPECT_EQ(WriteReportFile(assays, state, log, html, xsl), ReportFileOutcome::Written);
    EXPECT_THAT(ReadFile(html), HasSubstr("0,0500"));
    EXPECT_THAT(ReadFile(html), Not(HasSubstr("old content")));
    EXPECT_TRUE(messages.shown.empty());

    EXPECT_EQ(WriteReportFile(assays, state, log, html, out.Path() + "/none.xsl"),
              ReportFileOutcome::Failed);
    EXPECT_EQ(messages.shown.size(), 1u);
    {
        testing::ScopedSharedDataFolder none(std::nullopt);
        EXPECT_EQ(WriteReportFile(assays, state, log, html), ReportFileOutcome::NoSharedDataFolder);
    }

    const std::string xml = out.Path() + "/report.xml";
    EXPECT_EQ(WriteReportXml(assays, state, log, xml), "");
    const std::string bytes = ReadFile(xml);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("<\0?\0", 4)); // no byte-order mark
    EXPECT_EQ(bytes.size() % 2, 0u);
    ReportGenerator generator(state, log);
    generator.assays = &assays;
    const std::u16string text = generator.BuildXml();
    std::string expected;
    for (char16_t unit : text) {
        expected.push_back(static_cast<char>(unit & 0xFF));
        expected.push_back(static_cast<char>(unit >> 8));
    }
    // Equal but for the seconds of "date_created", which may have moved on.
    EXPECT_EQ(bytes.size(), expected.size());
    EXPECT_THAT(WriteReportXml(assays, state, log, out.Path() + "/missing/x.xml"),
                StartsWith("Cannot create"));
}

} // namespace
} // namespace sepmet
