// The main window's audit trail as the operator meets it: every command's recalculation and the
// report on record, the report's reference, and one notice that blocks nothing when the store
// cannot be written.

#include "audit/audit_store.h"
#include "audit/chain_verification.h"
#include "audit/event_identity.h"
#include "data/connection.h"
#include "platform/utf.h"
#include "plugin/profile.h"
#include "report/report_generator.h"
#include "tests/support/read_file.h"
#include "tests/support/temporary_folder.h"
#include "tests/ui/window_support.h"
#include "ui/grid_ctrl.h"
#include "ui/result_tabs.h"
#include "ui/window_audit.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace sepmet::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

// Sets an environment variable for the scope.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name))
            saved_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() { saved_ ? setenv(name_, saved_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> saved_;
};

// Every window of the UI tests records to the default store: for the whole test program it lies
// in the build tree, never in the user's own data folder.
const bool kDataHomeInBuildTree =
    setenv("XDG_DATA_HOME", SEPMET_BINARY_DIR "/test-data-home", 1) == 0;

class WindowAuditTest : public MainWindowTest {
protected:
    WindowAuditTest()
        : tmp("TMPDIR", folder.Path()), dataDirs("XDG_DATA_DIRS", SEPMET_SOURCE_DIR "/share"),
          dataHome("XDG_DATA_HOME", folder.File("data")) {
        DataBase::GetConnection().SetUri(FromUtf8(demo.Path()).c_str());
    }

    void UseStore(const std::string& path) {
        host.profile()[MakeProfileKey(u"", WindowAudit::kProfileValue)] = FromUtf8(path);
    }
    std::vector<audit::EventRecord> Events(const std::string& path) {
        return audit::AuditStore::OpenReadOnly(path).ReadAll();
    }
    QList<QMessageBox*> Notices() const {
        return Window()->findChildren<QMessageBox*>(WindowAudit::kNoticeName);
    }
    void AddDemoDetermination() { Add(DemoDeterminationIds()); }

    DemoDatabase demo;
    TemporaryFolder folder;
    ScopedVariable tmp;
    ScopedVariable dataDirs;
    ScopedVariable dataHome;
};

std::string Command(const audit::EventRecord& event) {
    if (event.kind != "recalculation")
        return event.kind;
    const std::size_t start = event.payload.find(':') + 2;
    return event.payload.substr(start, event.payload.find('"', start) - start);
}

TEST_F(WindowAuditTest, CommandsAndTheReportAreOnRecord) {
    const std::string store = folder.File("a.sqlite");
    UseStore(store);
    DlgMain& window = OpenWindow();
    SetDemoConditions();
    AddDemoDetermination();
    boxes.answer = true; // "--" asks first
    Click(QStringLiteral("Удалить все хроматограммы"));
    AddDemoDetermination();
    Click(QStringLiteral("Пересчитать"));
    Click(QStringLiteral("Создать отчёт"));
    ASSERT_TRUE(boxes.shown.empty()) << Utf8(Q(boxes.shown[0].text));
    EXPECT_TRUE(Notices().empty());

    const std::vector<audit::EventRecord> events = Events(store);
    std::vector<std::string> commands;
    for (const audit::EventRecord& event : events)
        commands.push_back(Command(event));
    EXPECT_EQ(commands,
              (std::vector<std::string>{"open", "+", "--", "+", "R", "report", "report-file"}));
    EXPECT_TRUE(audit::VerifyChain(events, 7).Intact());
    EXPECT_THAT(events[4].payload, HasSubstr("\"conditionsReady\":true"));

    const std::string page = ReadFile(window.Report().OutputFile());
    EXPECT_THAT(page, HasSubstr("Запись журнала № 6, контрольная сумма "));
    EXPECT_THAT(page, HasSubstr("; предыдущая запись № 5, хеш " + events[4].hash.substr(0, 16)));
    EXPECT_THAT(page, HasSubstr("Оператор О.О. (" + audit::LoginName() + ")"));
}

TEST_F(WindowAuditTest, DefaultStoreIsCreatedInAPrivateFolder) {
    OpenWindow();
    const fs::path store = folder.File("data/sepmet/audit.sqlite");
    ASSERT_TRUE(fs::exists(store));
    EXPECT_EQ(Events(store.string()).size(), 1u);
    struct stat info {};
    ASSERT_EQ(::stat(store.parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(WindowAuditTest, StoreThatCannotBeWrittenGivesOneNoticeThatBlocksNothing) {
    const std::string store = folder.File("not-a-store.sqlite");
    std::ofstream(store) << "these bytes are not a SQLite database, whatever their name says";
    UseStore(store);
    DlgMain& window = OpenWindow();
    ASSERT_EQ(Notices().size(), 1u);
    QMessageBox& notice = *Notices()[0];
    EXPECT_TRUE(notice.isVisible());
    EXPECT_FALSE(notice.isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_THAT(Utf8(notice.text()), HasSubstr(store));
    EXPECT_THAT(Utf8(notice.text()), HasSubstr("file is not a database"));
    SaveScreenshot(notice, "audit_notice");

    // Work goes on: the pages fill, the report is written, no second notice, no reference.
    SetDemoConditions();
    AddDemoDetermination();
    EXPECT_THAT(ModelText(*window.CalcPage().Grid().model(), false), HasSubstr("0,120736"));
    Click(QStringLiteral("Создать отчёт"));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(Notices().size(), 1u);
    const std::string page = ReadFile(window.Report().OutputFile());
    EXPECT_THAT(page, Not(HasSubstr("Запись журнала")));
    EXPECT_THAT(page, HasSubstr("Оператор О.О. (" + audit::LoginName() + ")"));
    EXPECT_EQ(ReadFile(store), "these bytes are not a SQLite database, whatever their name says");
}

// "AuditRequired" = 1: a report whose event cannot be recorded is not made; the operator reads
// one message.
TEST_F(WindowAuditTest, RequiredTrailThatCannotBeWrittenMeansNoReport) {
    const std::string store = folder.File("not-a-store.sqlite");
    std::ofstream(store) << "these bytes are not a SQLite database, whatever their name says";
    UseStore(store);
    host.profile()[MakeProfileKey(u"", WindowAudit::kRequiredProfileValue)] = std::int32_t{1};
    DlgMain& window = OpenWindow();
    SetDemoConditions();
    AddDemoDetermination();
    Click(QStringLiteral("Создать отчёт"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_THAT(Utf8(Q(boxes.shown[0].text)),
                HasSubstr("The report is made only when its event is recorded in the audit trail "
                          "(AuditRequired)"));
    EXPECT_TRUE(window.Report().OutputFile().empty());
    EXPECT_EQ(Notices().size(), 1u); // the recalculations' notice, given at the opening
}

} // namespace
} // namespace sepmet::testing
