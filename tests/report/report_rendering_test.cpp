#include "platform/opener.h"
#include "platform/shared_data_folder.h"
#include "platform/utf.h"
#include "platform/xml_dom_service.h"
#include "report/report_generator.h"
#include "report_test_support.h"
#include "tests/report/sample_results.h"
#include "tests/support/scoped_shared_data_folder.h"
#include "tests/support/wine.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <optional>
#include <regex>
#include <stdexcept>

namespace sepmet {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using testing::MessageBoxRecorder;
using ::testing::Not;
using testing::ReadFile;
using testing::ScopedEnv;
using ::testing::StartsWith;

constexpr const char* kTemplatePath = kReportTemplateRelativePath;

std::string Stylesheet(const std::string& body, const std::string& attributes = "",
                       const std::string& version = "1.0") {
    return "<?xml version=\"1.0\"?><xsl:stylesheet version=\"" + version +
           "\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\"" + attributes +
           "><xsl:output method=\"html\" encoding=\"UTF-8\"/>" + body + "</xsl:stylesheet>";
}

std::string Template(const std::string& text) {
    return Stylesheet("<xsl:template match=\"/\"><p>" + text +
                      "<xsl:value-of select=\"root/@atmP\"/></p></xsl:template>");
}

// `name` in `folder`, joined with this system's separator.
std::string InFolder(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

std::time_t FixedTime() {
    return 1709629620;
} // 5 March 2024, 09:07 UTC

// Runs the scope in another working folder.
class ScopedWorkingFolder {
public:
    explicit ScopedWorkingFolder(const std::string& folder)
        : saved_(std::filesystem::current_path()) {
        std::filesystem::current_path(testing::Utf8Path(folder));
    }
    ~ScopedWorkingFolder() { std::filesystem::current_path(saved_); }

private:
    std::filesystem::path saved_;
};

const std::string kXslOpen = "<?xml version=\"1.0\"?><xsl:stylesheet version=\"1.0\" "
                             "xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\"";

class ReportRenderingTest : public ::testing::Test {
protected:
    ReportRenderingTest() {
        generator.assays = &assays;
        generator.SetClock(&FixedTime);
    }
    void InstallTemplate(const std::string& content) { share.Write(kTemplatePath, content); }
    std::vector<std::u16string> Texts() const {
        std::vector<std::u16string> texts;
        for (const auto& m : messages.shown) {
            EXPECT_EQ(m.caption, u"sepmet");
            EXPECT_EQ(m.icon, MessageIcon::Error);
            texts.push_back(m.text);
        }
        return texts;
    }

    testing::TemporaryFolder share;
    testing::TemporaryFolder temp;
    testing::ScopedSharedDataFolder dataFolder{share.Path()};
    ScopedEnv tmpDir{"TMPDIR", temp.Path()};
    ScopedEnv zone{"TZ", "UTC0"};
    ScopedEnv locale{"LC_ALL", "C"};
    MessageBoxRecorder messages;
    CalculationState state;
    MessageLog log;
    AssayCollection assays;
    ReportGenerator generator{state, log};
};

TEST_F(ReportRenderingTest, ShippedTemplateShowsValuesAndEscapedTexts) {
    testing::ScopedSharedDataFolder shipped(testing::ShippedSharedDataFolder());
    state.settings.vW = 250;
    testing::SetSampleResults(state);
    Assay assay;
    assay.id = 1;
    assay.date = FixedTime();
    assay.filename = u"D:\\data\\run1.chr";
    assay.sample = u"град <b>5</b> & \"x\"";
    assay.mixture = u"<script>alert(1)</script>";
    assay.type = u"Градуировка";
    assays.AddLoadedAssay(assay);
    log.AddWarning(u"Повторяемость превышена");

    ASSERT_TRUE(generator.Generate());
    EXPECT_THAT(Texts(), ::testing::IsEmpty());

    const std::string path = generator.OutputFile();
    EXPECT_EQ(ToUtf8(generator.outputPath), path);
    EXPECT_THAT(path, StartsWith(InFolder(temp.Path(), "pqr")));
    // Wine names temporary files in small letters ("pqr4a2a.tmp"), Windows and Linux in capitals.
    const auto syntax = testing::RunningUnderWine() ? std::regex::icase : std::regex::ECMAScript;
    EXPECT_TRUE(std::regex_match(std::filesystem::path(path).filename().string(),
                                 std::regex("pqr[0-9A-F]{1,4}\\.TMP\\.html", syntax)))
        << path;
    const std::string reserved = path.substr(0, path.size() - 5);
    EXPECT_TRUE(std::filesystem::is_regular_file(reserved));
    EXPECT_EQ(std::filesystem::file_size(reserved), 0u);

    const std::string html = ReadFile(path);
    EXPECT_THAT(html, StartsWith("<!DOCTYPE html"));
    for (const char* expected :
         {"Расчет производится согласно СТО Газпром 5.36-2011 п.13", "250", "101,325", "run1.chr",
          "05.03.24  09:07", "0,0495", "0,050500 ± 0,010814", "7,214286", "0,001200",
          "Предупреждения!", "     - Повторяемость превышена", "Оператор О.О.",
          "05.03.2024 09:07:00", "1.0.2.0", "град &lt;b&gt;5&lt;/b&gt; &amp; \"x\"",
          "&lt;script&gt;alert(1)&lt;/script&gt;"})
        EXPECT_THAT(html, HasSubstr(expected));
    EXPECT_THAT(html, Not(HasSubstr("<script")));
    EXPECT_THAT(html, Not(HasSubstr("http://")));
    EXPECT_EQ(FromUtf8(html), generator.ResultXml());
    EXPECT_EQ(generator.sourceXml, generator.BuildXml());
    EXPECT_THAT(ToUtf8(generator.stylesheetXml), HasSubstr("xsl:stylesheet"));
}

TEST_F(ReportRenderingTest, ShippedTemplateSaysInWordsThatNoResultWasObtained) {
    testing::ScopedSharedDataFolder shipped(testing::ShippedSharedDataFolder());
    testing::SetSampleResults(state);
    state.gradPageRefilled = false; // the tables hold results of an earlier recalculation
    state.calcPageRefilled = false;
    log.AddError(u"Список хроматограмм пуст.");
    ASSERT_TRUE(generator.Generate());
    const std::string html = ReadFile(generator.OutputFile());
    EXPECT_THAT(html, HasSubstr("Градуировочный коэффициент не получен. Причины указаны в разделе "
                                "«Системные сообщения»."));
    EXPECT_THAT(html, HasSubstr("Результат не получен. Причины указаны в разделе «Системные "
                                "сообщения»."));
    EXPECT_THAT(html, HasSubstr("Список хроматограмм пуст."));
    EXPECT_THAT(html, Not(HasSubstr("0,0495")));
    EXPECT_THAT(html, Not(HasSubstr("0,050500")));
}

// The right edge of `word` in the first page of a `pdftotext -bbox` text, and the page's width.
std::optional<std::pair<double, double>> WordRightEdge(const std::string& bbox,
                                                       const std::string& word) {
    std::smatch page, found;
    if (!std::regex_search(bbox, page, std::regex("<page width=\"([0-9.]+)\"")))
        return std::nullopt;
    const std::regex wordPattern("xMax=\"([0-9.]+)\"[^>]*>" + word + "</word>");
    if (!std::regex_search(bbox, found, wordPattern))
        return std::nullopt;
    return std::make_pair(std::stod(found[1]), std::stod(page[1]));
}

TEST_F(ReportRenderingTest, ShippedTemplateResultTableFitsA4) {
    if (std::system("command -v weasyprint >/dev/null && command -v pdftotext >/dev/null") != 0)
        GTEST_SKIP() << "weasyprint or pdftotext is not installed";
    testing::ScopedSharedDataFolder shipped(testing::ShippedSharedDataFolder());
    testing::SetSampleResults(state);
    ASSERT_TRUE(generator.Generate());
    const std::string pdf = temp.Path() + "/report.pdf";
    const std::string bbox = temp.Path() + "/report.bbox";
    ASSERT_EQ(std::system(("weasyprint -q '" + generator.OutputFile() + "' '" + pdf +
                           "' 2>/dev/null && pdftotext -bbox '" + pdf + "' '" + bbox + "'")
                              .c_str()),
              0);
    const std::string words = ReadFile(bbox);
    for (const char* value : {"0,050500", "7,214286", "0,001200"}) {
        SCOPED_TRACE(value);
        const auto edge = WordRightEdge(words, value);
        ASSERT_TRUE(edge.has_value());
        EXPECT_LT(edge->first, edge->second);
    }
}

TEST_F(ReportRenderingTest, MissingTemplateIsReportedAndNothingIsWritten) {
    EXPECT_FALSE(generator.Generate());
    EXPECT_THAT(Texts(), ::testing::ElementsAre(u"Не удалось загрузить шаблон отчёта.\n"
                                                u"Error parsing XSLT Document instance."));
    EXPECT_TRUE(temp.Names().empty());
    EXPECT_TRUE(generator.outputPath.empty());
}

TEST_F(ReportRenderingTest, TemplateThatIsNotWellFormedIsReportedLikeAMissingOne) {
    InstallTemplate("<xsl:stylesheet");
    EXPECT_FALSE(generator.Generate());
    EXPECT_THAT(Texts(), ::testing::ElementsAre(u"Не удалось загрузить шаблон отчёта.\n"
                                                u"Error parsing XSLT Document instance."));
}

TEST_F(ReportRenderingTest, WithoutSharedDataFolderNothingHappens) {
    testing::ScopedSharedDataFolder none(std::nullopt);
    EXPECT_FALSE(generator.Generate());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(temp.Names().empty());
}

TEST_F(ReportRenderingTest, TextsTheParserRejects) {
    const std::u16string good = FromUtf8(Template("x"));
    const struct {
        std::u16string source, stylesheet;
        const char* error;
    } cases[] = {
        {u"<root", good, "Error parsing Source Document instance."},
        {u"", good, "Error parsing Source Document instance."},
        {u"<root/>", u"<xsl:stylesheet>", "Error parsing Stylesheet Document instance."},
        {u"<root/>", u"", "Error parsing Stylesheet Document instance."},
    };
    for (const auto& c : cases) {
        generator.sourceXml = c.source;
        generator.stylesheetXml = c.stylesheet;
        try {
            generator.Transform();
            ADD_FAILURE() << c.error;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
    }
    EXPECT_TRUE(temp.Names().empty());
}

TEST_F(ReportRenderingTest, TransformationFailuresCarryTheSignedStatus) {
    if (testing::RunningUnderWine())
        GTEST_SKIP() << "Wine's MSXML answers a failed transformation with success and an empty "
                        "result";
    const struct {
        std::string stylesheet;
        const char* diagnostic;
    } cases[] = {
        {Stylesheet("<xsl:template match=\"/\"><xsl:message terminate=\"yes\">остановлено"
                    "</xsl:message></xsl:template>"),
         "остановлено"},
        {Stylesheet("<xsl:template match=\"/\"><xsl:value-of select=\"no-such-function()\"/>"
                    "</xsl:template>"),
         "no-such-function"},
        {"<html xmlns=\"http://www.w3.org/1999/xhtml\"/>", ""}, // well-formed, not XSLT
    };
    for (const auto& c : cases) {
        InstallTemplate(c.stylesheet);
        messages.shown.clear();
        EXPECT_FALSE(generator.Generate());
        const auto texts = Texts();
        ASSERT_EQ(texts.size(), 1u);
        const std::string text = ToUtf8(texts[0]);
        EXPECT_THAT(text, StartsWith("Ошибка -2147467259. Не удалось создать отчёт.\n"));
        EXPECT_THAT(text, HasSubstr(c.diagnostic));
        EXPECT_THAT(text, Not(EndsWith("\n")));
    }
    EXPECT_TRUE(temp.Names().empty());
    EXPECT_TRUE(generator.outputPath.empty());
}

TEST_F(ReportRenderingTest, TemplateMayReadFilesButNotWriteThemOrUseTheNetwork) {
    // With '/' on Windows too: "C:\\…" is not a reference document() takes.
    const std::string readable =
        std::filesystem::path(share.Write("note.xml", "<note>из файла</note>")).generic_string();
    InstallTemplate(Template("<xsl:value-of select=\"document('" + readable + "')/note\"/>"));
    ASSERT_TRUE(generator.Generate());
    EXPECT_THAT(ReadFile(generator.OutputFile()), HasSubstr("из файла"));
    const std::string firstOutput = generator.OutputFile();

    const std::string target = share.Path() + "/written.html";
    const std::string inNewFolder = share.Path() + "/new/written.html";
    // Wine's MSXML runs xsl:document without writing anything and without an error.
    const bool silentWrite = testing::RunningUnderWine();
    // MSXML has no setting that refuses document() over the network.
#if defined(_WIN32)
    const bool onWindows = true;
#else
    const bool onWindows = false;
#endif
    const struct {
        std::string stylesheet;
        bool silent;
    } refused[] = {
        {Stylesheet("<xsl:template match=\"/\"><xsl:document href=\"" + target +
                        "\"><p>x</p></xsl:document><p>main</p></xsl:template>",
                    "", "1.1"),
         silentWrite},
        {Stylesheet("<xsl:template match=\"/\"><xsl:document href=\"" + inNewFolder +
                        "\"><p>x</p></xsl:document><p>main</p></xsl:template>",
                    "", "1.1"),
         silentWrite},
        {Template("<xsl:value-of select=\"document('http://127.0.0.1:9/x.xml')\"/>"), onWindows},
    };
    bool anotherReport = false;
    for (const auto& [stylesheet, silent] : refused) {
        InstallTemplate(stylesheet);
        messages.shown.clear();
        if (silent) { // nothing refused: only that nothing is written, checked below
            generator.Generate();
            anotherReport = true;
            continue;
        }
        EXPECT_FALSE(generator.Generate()) << stylesheet;
        const auto texts = Texts();
        ASSERT_EQ(texts.size(), 1u) << stylesheet;
        EXPECT_THAT(ToUtf8(texts[0]),
                    StartsWith("Ошибка -2147467259. Не удалось создать отчёт.\n"));
        EXPECT_THAT(ToUtf8(texts[0]), HasSubstr("denied"));
    }
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_FALSE(std::filesystem::exists(share.Path() + "/new"));
    if (!anotherReport) {
        EXPECT_EQ(generator.OutputFile(), firstOutput);
    }
}

TEST_F(ReportRenderingTest, EveryReportIsANewFileAndReadsTheTemplateAfresh) {
    InstallTemplate(Template("первый "));
    ASSERT_TRUE(generator.Generate());
    const std::string first = generator.OutputFile();
    const std::string firstHtml = ReadFile(first);
    EXPECT_THAT(firstHtml, HasSubstr("первый 101,325"));

    InstallTemplate(Template("второй "));
    state.settings.atmP = 99.5;
    ASSERT_TRUE(generator.Generate());
    const std::string second = generator.OutputFile();
    EXPECT_NE(second, first);
    EXPECT_THAT(ReadFile(second), HasSubstr("второй 99,5"));
    EXPECT_EQ(ReadFile(first), firstHtml);
    EXPECT_EQ(temp.Names().size(), 4u); // two reservations, two reports
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ReportRenderingTest, NoTemporaryNameMeansMessageAndNothingWritten) {
    InstallTemplate(Template(""));
    const std::string notAFolder = temp.Write("plain-file", "");
    for (const std::string& folder : {InFolder(temp.Path(), "missing"), notAFolder}) {
        ScopedEnv badTemp("TMPDIR", folder);
        messages.shown.clear();
        EXPECT_FALSE(generator.Generate());
        const auto texts = Texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_THAT(ToUtf8(texts[0]),
                    StartsWith("Не удалось создать отчёт.\nCannot reserve a "
                               "temporary file name in \"" +
                               std::filesystem::path(folder).make_preferred().string() + "\": "));
    }
    EXPECT_EQ(temp.Names(), std::vector<std::string>{"plain-file"});
    EXPECT_TRUE(generator.outputPath.empty());
}

TEST_F(ReportRenderingTest, ReferencesOfTheTemplateResolveBesideIt) {
    // A folder whose name needs escaping in a URL, and a working folder elsewhere.
    const std::string folder = share.Path() + "/шаблоны отчёта";
    share.Write("шаблоны отчёта/common.xsl",
                kXslOpen + "><xsl:template name=\"common\">из общего</xsl:template>"
                           "</xsl:stylesheet>");
    share.Write("шаблоны отчёта/parts/part.xsl",
                kXslOpen + "><xsl:template name=\"part\">из части</xsl:template>"
                           "</xsl:stylesheet>");
    share.Write("шаблоны отчёта/data.xml", "<note>из данных</note>");
    const std::string report = share.Write(
        "шаблоны отчёта/Report.xsl",
        kXslOpen + "><xsl:import href=\"common.xsl\"/><xsl:include href=\"parts/part.xsl\"/>"
                   "<xsl:output method=\"html\" encoding=\"UTF-8\"/><xsl:template match=\"/\"><p>"
                   "<xsl:call-template name=\"common\"/>, <xsl:call-template name=\"part\"/>, "
                   "<xsl:value-of select=\"document('data.xml')/note\"/></p></xsl:template>"
                   "</xsl:stylesheet>");
    ScopedWorkingFolder elsewhere(temp.Path());
    for (const std::string& path :
         {report, std::string("../") + std::filesystem::path(share.Path()).filename().string() +
                      "/шаблоны отчёта/Report.xsl"}) {
        SCOPED_TRACE(path);
        generator.SetTemplateFile(path);
        ASSERT_TRUE(generator.LoadTemplate()) << ToUtf8(Texts().at(0));
        // The template text alone no longer knows its folder; the generator does.
        ScopedWorkingFolder another(folder + "/parts");
        generator.sourceXml = generator.BuildXml();
        generator.Transform();
        // Wine's MSXML finds no document() beside a template whose folder name needs escaping.
        EXPECT_THAT(ReadFile(generator.OutputFile()),
                    HasSubstr(testing::RunningUnderWine() ? "из общего, из части, "
                                                          : "из общего, из части, из данных"));
    }
    EXPECT_TRUE(messages.shown.empty());
}

const std::string kRows = "<xsl:variable name=\"rows\"><n>3</n><n>7</n><n>3</n></xsl:variable>";

TEST_F(ReportRenderingTest, NodeSetOfTheMsxslDialect) {
    InstallTemplate(
        kXslOpen +
        " xmlns:msxsl=\"urn:schemas-microsoft-com:xslt\" exclude-result-prefixes=\"msxsl\">"
        "<xsl:output method=\"html\" encoding=\"UTF-8\"/>" +
        kRows +
        "<xsl:template match=\"/\"><p>ms=<xsl:value-of select=\"sum(msxsl:node-set($rows)/n)\"/>"
        "</p></xsl:template></xsl:stylesheet>");
    ASSERT_TRUE(generator.Generate()) << ToUtf8(Texts().at(0));
    EXPECT_THAT(ReadFile(generator.OutputFile()), HasSubstr("ms=13"));
}

TEST_F(ReportRenderingTest, NodeSetOfTheExsltDialectAndTheExsltModules) {
#if defined(_WIN32)
    GTEST_SKIP() << "MSXML has no EXSLT modules (Wine's neither)";
#endif
    InstallTemplate(
        kXslOpen +
        " xmlns:msxsl=\"urn:schemas-microsoft-com:xslt\" xmlns:exsl=\"http://exslt.org/common\""
        " xmlns:str=\"http://exslt.org/strings\" xmlns:math=\"http://exslt.org/math\""
        " xmlns:set=\"http://exslt.org/sets\" xmlns:date=\"http://exslt.org/dates-and-times\""
        " exclude-result-prefixes=\"msxsl exsl str math set date\">"
        "<xsl:output method=\"html\" encoding=\"UTF-8\"/>" +
        kRows +
        "<xsl:template match=\"/\"><p>"
        "exsl=<xsl:value-of select=\"count(exsl:node-set($rows)/n)\"/>;"
        "str=<xsl:value-of select=\"count(str:tokenize('a,b,c', ','))\"/>;"
        "max=<xsl:value-of select=\"math:max(exsl:node-set($rows)/n)\"/>;"
        "set=<xsl:value-of select=\"count(set:distinct(msxsl:node-set($rows)/n))\"/>;"
        "year=<xsl:value-of select=\"date:year('2024-03-05')\"/>"
        "</p></xsl:template></xsl:stylesheet>");
    ASSERT_TRUE(generator.Generate()) << ToUtf8(Texts().at(0));
    EXPECT_THAT(ReadFile(generator.OutputFile()), HasSubstr("exsl=3;str=3;max=7;set=2;year=2024"));

    // The EXSLT document element stays under the same refusal as xsl:document.
    const std::string target = share.Path() + "/exsl-written.html";
    InstallTemplate(kXslOpen +
                    " xmlns:exsl=\"http://exslt.org/common\" extension-element-prefixes=\"exsl\">"
                    "<xsl:template match=\"/\"><exsl:document href=\"" +
                    target +
                    "\"><p>x</p></exsl:document><p>main</p></xsl:template>"
                    "</xsl:stylesheet>");
    EXPECT_FALSE(generator.Generate());
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_THAT(ToUtf8(Texts()[0]), HasSubstr("denied"));
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(ReportRenderingTest, ParametersArePassedAsStrings) {
    InstallTemplate(Stylesheet("<xsl:param name=\"a\"/><xsl:param name=\"b\" select=\"'default'\"/>"
                               "<xsl:template match=\"/\"><p>[<xsl:value-of select=\"$a\"/>]["
                               "<xsl:value-of select=\"$b\"/>]</p></xsl:template>"));
    ASSERT_TRUE(generator.Generate());
    EXPECT_THAT(ReadFile(generator.OutputFile()), HasSubstr("[][default]"));

    generator.SetTransformParameters(
        {{"a", u"Иванов's \"1\" concat($b)"}, {"b", u""}, {"undeclared", u"x"}});
    ASSERT_TRUE(generator.Generate());
    EXPECT_THAT(ReadFile(generator.OutputFile()), HasSubstr("[Иванов's \"1\" concat($b)][]"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ReportRenderingTest, DetailsArriveAsADocumentParameter) {
    testing::SetSampleResults(state);
    state.calibrationTable[u"Метанол"].levelChecks = {{5, LevelOutcome::Passed}};
    state.calibrationTable[u"Метанол"].levels[5] = {100, 101};
    // A node-set: paths, counts and the root element's name work on it.
    InstallTemplate(
        Stylesheet("<xsl:param name=\"details\" select=\"/..\"/>"
                   "<xsl:template match=\"/\"><p>[<xsl:value-of select=\"name($details/"
                   "*)\"/>][<xsl:value-of select=\"count($details//area)\"/>][<xsl:value-"
                   "of select=\"$details/details/calibration/@k_avg\"/>]</p>"
                   "</xsl:template>"));
    ASSERT_TRUE(generator.Generate());
    // Wine's MSXML takes only texts as parameters: the parameter keeps its default there.
    EXPECT_THAT(ReadFile(generator.OutputFile()),
                HasSubstr(testing::RunningUnderWine() ? "[][0][]" : "[details][2][0,0495]"));
    // A variable of that name is the template's own; string parameters still arrive beside it.
    InstallTemplate(Stylesheet("<xsl:variable name=\"details\" select=\"'own'\"/><xsl:param "
                               "name=\"a\"/><xsl:template match=\"/\"><p>[<xsl:value-of "
                               "select=\"$details\"/>][<xsl:value-of select=\"$a\"/>]</p>"
                               "</xsl:template>"));
    generator.SetTransformParameters({{"a", u"x"}});
    ASSERT_TRUE(generator.Generate());
    EXPECT_THAT(ReadFile(generator.OutputFile()), HasSubstr("[own][x]"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ReportRenderingTest, OpenerThatFailsIsToldWithTheReportsPath) {
    struct FailingOpener final : Opener {
        bool Open(const std::string& path) override {
            asked = path;
            return false;
        }
        std::string asked;
    } opener;
    SetOpener(&opener);
    InstallTemplate(Template("x"));
    generator.SetOwnerWindow(42);
    ASSERT_TRUE(generator.Generate());
    EXPECT_FALSE(generator.OpenOutput());
    SetOpener(nullptr);
    EXPECT_EQ(opener.asked, generator.OutputFile());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].owner, 42);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(messages.shown[0].text,
              u"Отчёт записан, но открыть его не удалось.\nФайл отчёта: " + generator.outputPath);
    // Without an opener (tests, headless runs) there is nothing to fail.
    EXPECT_TRUE(generator.OpenOutput());
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(ReportRenderingTest, RelativeTemporaryFolderGivesAnAbsolutePath) {
    InstallTemplate(Template(""));
    temp.Write("sub/keep", "");
    ScopedWorkingFolder here(temp.Path() + "/sub");
    for (const char* relative : {".", "../sub/", "sub2/.."}) {
        SCOPED_TRACE(relative);
        std::filesystem::create_directories(temp.Path() + "/sub/sub2");
        ScopedEnv tmp("TMPDIR", relative);
        ASSERT_TRUE(generator.Generate());
        EXPECT_THAT(generator.OutputFile(),
                    StartsWith(InFolder(InFolder(temp.Path(), "sub"), "pqr")));
        EXPECT_EQ(ToUtf8(generator.outputPath), generator.OutputFile());
        EXPECT_TRUE(std::filesystem::is_regular_file(generator.OutputFile()));
    }
}

TEST(ReportStatusText, SystemTextOrFallbackByCode) {
    const struct {
        std::uint32_t code;
        std::u16string system, expected;
    } cases[] = {
        {0x80004005, u"line 3: boom\n", u"line 3: boom"},
        {0x80004005, u"", u"Unknown error 0x80004005"},
        {0x80040200, u"", u"IDispatch error #0"},
        {0x8004FFFF, u"", u"IDispatch error #65023"},
        {0x800401FF, u"", u"Unknown error 0x800401FF"},
        {0x1, u"", u"Unknown error 0x1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StatusMessageText(static_cast<std::int32_t>(c.code), c.system), c.expected);
}

} // namespace
} // namespace sepmet
