// The report on record: the reference the page prints, the event it names, and the cases where
// no reference may be printed.

#include "audit/audit_store.h"
#include "audit/event_identity.h"
#include "audit/report_audit.h"
#include "audit/sha256.h"
#include "platform/shared_data_folder.h"
#include "platform/utf.h"
#include "report/report_generator.h"
#include "tests/audit/audit_test_support.h"
#include "tests/support/message_box_recorder.h"
#include "tests/support/read_file.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace sepmet::audit {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using testing::OpenFolderToEveryone;
using testing::RunUnprivileged;
using testing::TemporaryFolder;

const std::string kTemplate =
    std::string(SEPMET_SOURCE_DIR) + "/share/" + kReportTemplateRelativePath;

class ReportAuditTest : public ::testing::Test {
protected:
    ReportAuditTest() : generator(state, log) {
        generator.assays = &assays;
        generator.SetTemplateFile(kTemplate);
        generator.SetOutputFile(html);
    }

    std::vector<EventRecord> Events() { return AuditStore::OpenReadOnly(store).ReadAll(); }

    TemporaryFolder folder;
    const std::string store = folder.File("a.sqlite");
    const std::string html = folder.File("r.html");
    sepmet::testing::MessageBoxRecorder messages;
    AssayCollection assays;
    CalculationState state;
    MessageLog log;
    ReportGenerator generator;
};

TEST_F(ReportAuditTest, PagePrintsTheEventItIsRecordedAsAndTheOneBefore) {
#if defined(_WIN32)
    GTEST_SKIP() << "the recorded paths are compared in their Unix spelling";
#endif
    AuditTrail trail(store, AuditStore::Folders::Existing, {});
    trail.RecordRecalculation("open", assays, state, {}, {});
    ReportAudit audit(trail);
    generator.SetTransformHook(&audit);
    ASSERT_TRUE(generator.Generate())
        << ToUtf8(messages.Texts().empty() ? u"" : messages.Texts()[0]);
    EXPECT_EQ(audit.LastSeq(), 2);

    const std::vector<EventRecord> events = Events();
    ASSERT_EQ(events.size(), 3u);
    const std::string page = sepmet::testing::ReadFile(html);
    const std::string document = Sha256HexUtf16Le(generator.sourceXml);
    EXPECT_THAT(page, HasSubstr("Запись журнала № 2, контрольная сумма " + document.substr(0, 16) +
                                "; предыдущая запись № 1, хеш " + events[0].hash.substr(0, 16)));
    EXPECT_THAT(page, HasSubstr("Оператор О.О. (" + LoginName() + ")"));

    // The report's event, made before the page: what the page is made of.
    EXPECT_EQ(events[1].kind, "report");
    EXPECT_EQ(events[1].payload, "{\"document\":\"" + document + "\",\"template\":\"" +
                                     Sha256HexUtf16Le(generator.stylesheetXml) +
                                     "\",\"templatePath\":\"" + kTemplate + "\"}");
    // Then the file written.
    EXPECT_EQ(events[2].kind, "report-file");
    EXPECT_EQ(events[2].payload, "{\"report\":2,\"html\":\"" + Sha256Hex(page) +
                                     "\",\"outputPath\":\"" + html + "\"}");
    // The generator's own parameters are back.
    EXPECT_TRUE(generator.TransformParameters().empty());
}

// The template reads a FIFO, so the transformation waits until the test lets it go on; meanwhile
// another program records an event in the same trail without waiting for a lock.
TEST_F(ReportAuditTest, NoLockIsHeldWhileTheTemplateRuns) {
#if defined(_WIN32)
    GTEST_SKIP() << "the template is held on a FIFO, which Windows does not have";
#else
    const std::string fifo = folder.File("gate.xml");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string waiting = folder.File("waiting.xsl");
    std::ofstream(waiting)
        << "<xsl:stylesheet version=\"1.0\" "
           "xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
           "<xsl:param name=\"audit-seq\"/>"
           "<xsl:template match=\"/\"><p><xsl:value-of select=\"document('"
        << fifo
        << "')/gate\"/><xsl:text> </xsl:text><xsl:value-of select=\"$audit-seq\"/></p>"
           "</xsl:template></xsl:stylesheet>";
    generator.SetTemplateFile(waiting);
    AuditTrail trail(store, AuditStore::Folders::Existing, {});
    ReportAudit audit(trail);
    generator.SetTransformHook(&audit);
    bool generated = false;
    std::thread report([&] { generated = generator.Generate(); });

    std::ofstream gate(fifo); // opens once the template reads it
    const auto start = std::chrono::steady_clock::now();
    const AppendedEvent other = AuditStore::OpenForAppend(store).Append("recalculation", "{}");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    gate << "<gate>open</gate>";
    gate.close();
    report.join();

    ASSERT_TRUE(generated);
    EXPECT_EQ(other.event.seq, 2); // after the report's event, before its file's
    EXPECT_THAT(sepmet::testing::ReadFile(html), HasSubstr("open 1"));
    std::vector<std::string> kinds;
    for (const EventRecord& event : Events())
        kinds.push_back(event.kind);
    EXPECT_EQ(kinds, (std::vector<std::string>{"report", "recalculation", "report-file"}));
#endif
}

TEST_F(ReportAuditTest, WithoutTheTrailThePagePrintsNoReference) {
    ASSERT_TRUE(generator.Generate());
    const std::string page = sepmet::testing::ReadFile(html);
    EXPECT_THAT(page, Not(HasSubstr("Запись журнала")));
    EXPECT_THAT(page, HasSubstr("<td>Оператор О.О.</td>"));
}

TEST_F(ReportAuditTest, FailedReportIsRecordedAsNotMade) {
#if defined(_WIN32)
    GTEST_SKIP() << "the test finds its template through $XDG_DATA_DIRS";
#endif
    const std::string failing = folder.File("failing.xsl");
    std::ofstream(failing) << "<xsl:stylesheet version=\"1.0\" "
                              "xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                              "<xsl:template match=\"/\"><xsl:message terminate=\"yes\">stop"
                              "</xsl:message></xsl:template></xsl:stylesheet>";
    generator.SetTemplateFile(failing);
    AuditTrail trail(store, AuditStore::Folders::Existing, {});
    ReportAudit audit(trail);
    generator.SetTransformHook(&audit);
    EXPECT_FALSE(generator.Generate());
    EXPECT_EQ(messages.shown.size(), 1u); // the report's own message, nothing of the trail
    EXPECT_EQ(audit.LastSeq(), 0);
    const std::vector<EventRecord> events = Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, "report");
    EXPECT_EQ(events[1].kind, "report-file");
    EXPECT_THAT(events[1].payload, HasSubstr("{\"report\":1,\"failed\":\""));
}

// "AuditRequired": a report whose event, or whose file's event, cannot be recorded is not made;
// the operator reads one message and finds no file.
TEST_F(ReportAuditTest, RequiredTrailThatRefusesTheEventMeansNoReport) {
    for (const char* kind : {"report", "report-file"}) {
        TemporaryFolder place;
        const std::string path = place.File("a.sqlite");
        AuditStore::OpenForAppend(path);
        testing::ExecuteSql(path, std::string("CREATE TRIGGER refuse BEFORE INSERT ON event WHEN "
                                              "NEW.kind = '") +
                                      kind + "' BEGIN SELECT RAISE(ABORT, 'disk full'); END");
        int notices = 0;
        AuditTrail trail(path, AuditStore::Folders::Existing,
                         [&](const AuditFailure&) { ++notices; });
        ReportAudit audit(trail, true);
        generator.SetTransformHook(&audit);
        messages.shown.clear();
        std::remove(html.c_str());

        EXPECT_FALSE(generator.Generate()) << kind;
        ASSERT_EQ(messages.shown.size(), 1u) << kind;
        EXPECT_THAT(ToUtf8(messages.shown[0].text),
                    HasSubstr("Не удалось создать отчёт.\nThe report is made only when its event "
                              "is recorded in the audit trail (AuditRequired), and " +
                              path + " did not take it: disk full"));
        EXPECT_EQ(notices, 0) << kind;
        EXPECT_EQ(audit.LastSeq(), 0) << kind;
        struct stat info {};
        EXPECT_NE(::stat(html.c_str(), &info), 0) << kind;
    }
}

TEST_F(ReportAuditTest, EventThatCannotBeInsertedLeavesAPageWithoutReference) {
#if defined(_WIN32)
    GTEST_SKIP() << "the test makes the store unwritable through Unix file modes";
#endif
    AuditStore::OpenForAppend(store);
    testing::ExecuteSql(store, "CREATE TRIGGER refuse BEFORE INSERT ON event WHEN "
                               "NEW.kind = 'report' BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    std::vector<AuditFailure> notices;
    AuditTrail trail(store, AuditStore::Folders::Existing,
                     [&](const AuditFailure& failure) { notices.push_back(failure); });
    ReportAudit audit(trail);
    generator.SetTransformHook(&audit);
    ASSERT_TRUE(generator.Generate());
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].reason, "disk full");
    EXPECT_EQ(audit.LastSeq(), 0);
    EXPECT_TRUE(Events().empty());
    const std::string page = sepmet::testing::ReadFile(html);
    EXPECT_THAT(page, Not(HasSubstr("Запись журнала")));
    EXPECT_THAT(page, HasSubstr("Оператор О.О. (" + LoginName() + ")"));

    // In the temporary folder the page with the reference goes; the one without it stays.
    const std::string tmp = folder.File("tmp");
    ::mkdir(tmp.c_str(), 0700);
    const char* savedTmp = std::getenv("TMPDIR");
    const std::string saved = savedTmp ? savedTmp : "";
    ::setenv("TMPDIR", tmp.c_str(), 1);
    generator.SetOutputFile({});
    const bool generated = generator.Generate();
    savedTmp ? ::setenv("TMPDIR", saved.c_str(), 1) : ::unsetenv("TMPDIR");
    ASSERT_TRUE(generated);
    std::vector<std::string> pages;
    for (const auto& entry : std::filesystem::directory_iterator(tmp))
        if (entry.path().extension() == ".html")
            pages.push_back(entry.path().string());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], generator.OutputFile());
    EXPECT_THAT(sepmet::testing::ReadFile(pages[0]), Not(HasSubstr("Запись журнала")));
}

TEST_F(ReportAuditTest, ReadOnlyStoreGivesOneNoticeAndAReportWithoutReference) {
#if defined(_WIN32)
    GTEST_SKIP() << "Wine runs here as root, whom read-only files do not stop";
#endif
    AuditStore::OpenForAppend(store).Append("recalculation", "{}");
    ::chmod(store.c_str(), 0444);
    const std::string out = folder.File("out");
    ::mkdir(out.c_str(), 0777);
    OpenFolderToEveryone(out, true);
    OpenFolderToEveryone(folder.Path(), false);
    generator.SetOutputFile(out + "/r.html");
    // The child reads the template where it can reach it, wherever the checkout lies.
    std::string why;
    const std::string templateCopy = testing::CopyForUnprivileged(kTemplate, folder.Path(), why);
    if (templateCopy.empty())
        GTEST_SKIP() << why;
    generator.SetTemplateFile(templateCopy);

    const int status = RunUnprivileged([&] {
        int notices = 0;
        AuditTrail trail(store, AuditStore::Folders::Existing,
                         [&](const AuditFailure&) { ++notices; });
        trail.RecordRecalculation("open", assays, state, {}, {});
        ReportAudit audit(trail);
        generator.SetTransformHook(&audit);
        if (!generator.Generate() || notices != 1 || audit.LastSeq() != 0)
            return 1;
        const std::string page = sepmet::testing::ReadFile(out + "/r.html");
        if (page.find("Запись журнала") != std::string::npos)
            return 2;
        return page.find("Оператор О.О. (") != std::string::npos ? 0 : 3;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Events().size(), 1u);
}

} // namespace
} // namespace sepmet::audit
