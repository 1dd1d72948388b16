// sepmet-batch with --audit and --verify-audit on the demo database, end to end.

#include "audit/audit_store.h"
#include "audit/sha256.h"
#include "platform/shared_data_folder.h"
#include "tests/audit/audit_test_support.h"
#include "tests/support/read_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace sepmet::audit {
namespace {

using sepmet::testing::ReadFile;
using testing::ExecuteSql;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::OpenFolderToEveryone;
using testing::RunUnprivileged;
using testing::TemporaryFolder;

const std::string kTemplate =
    std::string(SEPMET_SOURCE_DIR) + "/share/" + kReportTemplateRelativePath;

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

int ExitStatus(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class BatchAudit : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        shared = new TemporaryFolder;
        OpenFolderToEveryone(shared->Path(), false);
        const std::string command =
            std::string(SEPMET_DEMO_DATABASE_EXE) + " " + shared->File("demo.db");
        ASSERT_EQ(std::system(command.c_str()), 0);
        // What an unprivileged run uses lies where that user can reach it.
        unprivilegedBatch = new std::string(
            testing::CopyForUnprivileged(SEPMET_BATCH_EXE, shared->Path(), whyNotUnprivileged));
        unprivilegedTemplate = new std::string(
            testing::CopyForUnprivileged(kTemplate, shared->Path(), whyNotUnprivileged));
    }
    static void TearDownTestSuite() {
        delete shared;
        delete unprivilegedBatch;
        delete unprivilegedTemplate;
    }

    // The program with `arguments`, standard output and error kept apart; `environment` goes
    // before the command, as "NAME=value".
    ProgramRun Batch(const std::string& arguments, bool unprivileged = false,
                     const std::string& environment = "") {
        const std::string out = work.File("stdout");
        const std::string err = work.File("stderr");
        const std::string program = unprivileged ? *unprivilegedBatch : SEPMET_BATCH_EXE;
        const std::string command =
            environment + " " + program + " " + arguments + " >" + out + " 2>" + err;
        std::remove(out.c_str()); // an unprivileged run creates them afresh
        std::remove(err.c_str());
        ProgramRun run;
        run.status = unprivileged
                         ? RunUnprivileged([&] { return ExitStatus(std::system(command.c_str())); })
                         : ExitStatus(std::system(command.c_str()));
        run.out = ReadFile(out);
        run.err = ReadFile(err);
        return run;
    }

    std::string Determination() const {
        return "--db " + shared->File("demo.db") + " --vW 100 --vG 10 --rhoG 0.7";
    }

    // The report with the template of the source tree.
    static std::string Report(const std::string& path) {
        return " --template " + kTemplate + " --report " + path;
    }

    static TemporaryFolder* shared;
    static std::string* unprivilegedBatch;
    static std::string* unprivilegedTemplate;
    static std::string whyNotUnprivileged;
    TemporaryFolder work;
};

TemporaryFolder* BatchAudit::shared = nullptr;
std::string* BatchAudit::unprivilegedBatch = nullptr;
std::string* BatchAudit::unprivilegedTemplate = nullptr;
std::string BatchAudit::whyNotUnprivileged;

TEST_F(BatchAudit, RunIsRecordedAndTheReportNamesItsDocument) {
    const std::string store = work.File("a.sqlite");
    const ProgramRun plain = Batch(Determination() + " --add 1-12");
    const ProgramRun run = Batch(Determination() + " --audit " + store + " --add 1-12" +
                                 Report(work.File("r.html")) + " --xml " + work.File("d.xml"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, plain.out); // standard output keeps only the pages
    EXPECT_THAT(run.err, Not(HasSubstr("audit:")));

    const std::vector<EventRecord> events = AuditStore::OpenReadOnly(store).ReadAll();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].kind, "recalculation");
    EXPECT_THAT(events[0].payload, HasSubstr("{\"command\":\"open\",\"chromatograms\":[],"));
    EXPECT_THAT(events[1].payload, HasSubstr("{\"command\":\"+\",\"chromatograms\":[{\"id\":1,"));
    EXPECT_THAT(events[1].payload, HasSubstr("\"conditionsReady\":true"));
    EXPECT_EQ(events[2].kind, "report");
    EXPECT_EQ(events[3].kind, "report-file");

    // The reference is that of the very document --xml wrote, beside the chain's head.
    const std::string document = Sha256Hex(ReadFile(work.File("d.xml")));
    const std::string page = ReadFile(work.File("r.html"));
    const std::string head = events[1].hash.substr(0, 16);
    EXPECT_THAT(page, HasSubstr("Запись журнала № 3, контрольная сумма " + document.substr(0, 16) +
                                "; предыдущая запись № 2, хеш " + head));
    EXPECT_THAT(events[2].payload, HasSubstr("{\"document\":\"" + document + "\","));
    EXPECT_THAT(events[3].payload, HasSubstr("\"html\":\"" + Sha256Hex(page) + "\""));

    // The paper's reference checks out; a wrong or malformed one does not.
    struct Case {
        std::string expect;
        int status;
        std::string line;
    } cases[] = {
        {"", 0, "last seq 4, hash " + events[3].hash + "\n"},
        {" --expect 2:" + head, 0, "expected seq 2, hash " + head + ": matches\n"},
        {" --expect 2:" + events[0].hash.substr(0, 16), 1, "does not match (the trail holds "},
        {" --expect 9:" + head, 1, "expected seq 9, hash " + head + ": no such event"},
        {" --expect 2:" + head.substr(0, 15), 2, ""},
    };
    for (const Case& c : cases) {
        const ProgramRun verified = Batch("--verify-audit " + store + c.expect);
        EXPECT_EQ(verified.status, c.status) << c.expect << verified.err;
        EXPECT_THAT(verified.out, HasSubstr(c.line)) << c.expect;
        if (c.status != 2)
            EXPECT_EQ(verified.out.rfind(c.status ? "audit: 4 events, chain broken\n"
                                                  : "audit: 4 events, chain intact\n",
                                         0),
                      0u)
                << verified.out;
    }

    ExecuteSql(store, "UPDATE event SET payload = replace(payload, '\"vW\":100', '\"vW\":10') "
                      "WHERE seq = 2");
    const ProgramRun broken = Batch("--verify-audit " + store);
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out.rfind("audit: 4 events, chain broken\n"
                               "first wrong event: seq 2 (its hash does not match its contents)\n",
                               0),
              0u)
        << broken.out;
}

TEST_F(BatchAudit, NothingIsRecordedWithoutTheOption) {
    const ProgramRun run = Batch(Determination() + " --add 1-12" + Report(work.File("r.html")),
                                 false, "XDG_DATA_HOME=" + work.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    struct stat info {};
    EXPECT_NE(::stat(work.File("sepmet").c_str(), &info), 0);
    const std::string page = ReadFile(work.File("r.html"));
    EXPECT_THAT(page, Not(HasSubstr("Запись журнала")));
    EXPECT_THAT(page, HasSubstr("<td>Оператор О.О.</td>"));
}

TEST_F(BatchAudit, ReadOnlyStoreGivesOneNoteAndAReportWithoutReference) {
    if (unprivilegedBatch->empty() || unprivilegedTemplate->empty())
        GTEST_SKIP() << whyNotUnprivileged;
    const std::string store = work.File("a.sqlite");
    AuditStore::OpenForAppend(store).Append("recalculation", "{}");
    ::chmod(store.c_str(), 0444);
    const std::string out = work.File("out");
    ::mkdir(out.c_str(), 0777);
    OpenFolderToEveryone(out, true);
    OpenFolderToEveryone(work.Path(), true); // the outputs of the shell
    const std::string report = " --template " + *unprivilegedTemplate + " --report " + out;

    const ProgramRun run = Batch(
        Determination() + " --audit " + store + " --add 1-12 --add 13" + report + "/r.html", true);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.err, HasSubstr("sepmet-batch: audit: an event was not recorded in " + store +
                                   ": attempt to write a readonly database (later events are "
                                   "still recorded; the next one counts those lost)\n"));
    EXPECT_EQ(run.err.find("audit:"), run.err.rfind("audit:")) << run.err; // one note
    EXPECT_THAT(run.out, HasSubstr("Сист. сообщения"));
    const std::string page = ReadFile(out + "/r.html");
    EXPECT_THAT(page, Not(HasSubstr("Запись журнала")));
    EXPECT_THAT(page, HasSubstr("Оператор О.О. ("));
    EXPECT_EQ(AuditStore::OpenReadOnly(store).ReadAll().size(), 1u);

    // With --audit-required the report is not written: exit 4, one message, no file.
    const ProgramRun required =
        Batch(Determination() + " --audit " + store + " --audit-required --add 1-12" + report +
                  "/required.html",
              true);
    EXPECT_EQ(required.status, 4) << required.err;
    EXPECT_THAT(required.err, HasSubstr("The report is made only when its event is recorded in "
                                        "the audit trail (AuditRequired)"));
    EXPECT_THAT(required.err, Not(HasSubstr("report written")));
    struct stat info {};
    EXPECT_NE(::stat((out + "/required.html").c_str(), &info), 0);
    EXPECT_EQ(Batch(Determination() + " --audit-required --add 1").status, 2);
}

TEST_F(BatchAudit, AnalysisDatabaseGivenAsTrailIsLeftUnchanged) {
    const std::string database = work.File("analysis.sqlite");
    std::filesystem::copy_file(shared->File("demo.db"), database);
    const std::string before = ReadFile(database);
    const ProgramRun run = Batch("--db " + database + " --audit " + database + " --add 1-12");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.err, HasSubstr("sepmet-batch: audit: an event was not recorded in " + database +
                                   ": the file holds the table \""));
    EXPECT_THAT(run.err, HasSubstr("\": it is not an audit trail"));
    EXPECT_EQ(ReadFile(database), before);
}

TEST_F(BatchAudit, VerificationOfWhatIsNoStore) {
    const std::string text = work.File("text.sqlite");
    ExecuteSql(work.File("other.sqlite"), "CREATE TABLE t(x)");
    std::FILE* file = std::fopen(text.c_str(), "w");
    std::fputs("this is not a database file at all, only a line of text", file);
    std::fclose(file);
    struct Case {
        std::string arguments;
        int status;
        std::string err;
    } cases[] = {
        {"--verify-audit " + work.File("missing.sqlite"), 3, "unable to open database file"},
        {"--verify-audit " + text, 3, "file is not a database"},
        {"--verify-audit " + work.File("other.sqlite"), 3, "it is not an audit trail"},
        {"--verify-audit " + text + " --db x", 2, "--verify-audit FILE runs alone"},
        {"--verify-audit " + text + " --expect", 2, "--verify-audit FILE runs alone"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = Batch(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_THAT(run.err, HasSubstr(c.err)) << c.arguments;
        EXPECT_EQ(run.out, "") << c.arguments;
    }
    struct stat info {};
    EXPECT_NE(::stat(work.File("missing.sqlite").c_str(), &info), 0);
}

} // namespace
} // namespace sepmet::audit
