// "+", "*" and "R" on a database that cannot be used: one message box over the main window with
// SQLite's text (after a sentence for a locked database), and the list and the collection
// exactly as they were.

#include "data/connection.h"
#include "platform/utf.h"
#include "plugin/startup_messages.h"
#include "tests/ui/window_support.h"
#include "ui/grid_ctrl.h"

#include <QTest>
#include <filesystem>
#include <functional>
#include <sqlite3.h>

namespace sepmet::testing {
namespace {

namespace fs = std::filesystem;
using test::FixtureAssay;

struct Failure {
    const char* name;
    const char* text; // SQLite's text in the box
};

struct Command {
    const char* name;
    QString tip;
};

void PrintTo(const Failure& failure, std::ostream* out) {
    *out << failure.name;
}
void PrintTo(const Command& command, std::ostream* out) {
    *out << command.name;
}

class DatabaseFailureTest : public MainWindowTest,
                            public ::testing::WithParamInterface<std::tuple<Failure, Command>> {
protected:
    DatabaseFailureTest() {
        for (int id : {1, 2, 3}) {
            FixtureAssay row(id, u"sample " + std::u16string(1, char16_t(u'0' + id)), false,
                             {{u"Метанол", 1.0 * id, 1}});
            row.filename = u"C:\\" + std::u16string(1, char16_t(u'0' + id));
            db.Add(row);
        }
    }
    ~DatabaseFailureTest() override {
        if (writer) {
            sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(writer);
        }
    }

    void Break(const std::string& failure) {
        if (failure == "missing") {
            missing = fs::path(db.Path()).parent_path() / "vanished.db";
            DataBase::GetConnection().SetUri(missing.u16string().c_str());
        } else if (failure == "locked") {
            // The data system's writer holds the database longer than the busy timeout.
            ASSERT_EQ(sqlite3_open(db.Path().c_str(), &writer), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr),
                      SQLITE_OK);
        } else if (failure == "corrupt") {
            db.Execute("DROP TABLE peak;");
        }
    }

    sqlite3* writer = nullptr;
    fs::path missing;
};

TEST_P(DatabaseFailureTest, CommandEndsWithAMessageAndKeepsTheList) {
    const auto& [failure, command] = GetParam();
    DlgMain& window = OpenWindow();
    Add({1, 2});
    SelectRows({0, 1});
    window.AssayList().Model().SetCheckState(1, 1);
    const std::string listBefore = ModelText(*window.AssayList().model(), false);
    host.pickerIds() = {3, 1};
    DeliverPostedEvents();
    const int notices = hostWindow->assayListChanged;

    Break(failure.name);
    Click(command.tip);

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].owner, window.WindowHandle());
    EXPECT_EQ(boxes.shown[0].caption, kPluginMessageCaption);
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
    if (failure.name == std::string("locked")) {
        // The file and what to do, in Russian; SQLite's text after it.
        EXPECT_EQ(boxes.shown[0].text,
                  u"База данных «" + FromUtf8(db.Path()) +
                      u"» занята другой программой, которая в неё записывает. Дождитесь "
                      u"окончания записи (или закройте эту программу) и повторите действие.\n\n" +
                      FromUtf8(failure.text));
    } else {
        EXPECT_EQ(Utf8(Q(boxes.shown[0].text)), failure.text);
    }
    EXPECT_EQ(window.Assays().Ids(), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(ModelText(*window.AssayList().model(), false), listBefore);
    EXPECT_EQ(window.AssayList().Model().CheckState(1), 1);
    EXPECT_TRUE(host.openedFiles().empty());
    DeliverPostedEvents();
    EXPECT_EQ(hostWindow->assayListChanged, notices);
    if (!missing.empty()) {
        EXPECT_FALSE(fs::exists(missing)); // never created
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, DatabaseFailureTest,
    ::testing::Combine(::testing::Values(Failure{"missing", "unable to open database file"},
                                         Failure{"locked", "database is locked"}),
                       ::testing::Values(Command{"add", QStringLiteral("Добавить хроматограмму")},
                                         Command{"open", QStringLiteral("Отрыть хроматограмму")},
                                         Command{"reload", QStringLiteral("Пересчитать")})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
    });

TEST_F(DatabaseFailureTest, ReadFailingMidwayAddsNothing) {
    DlgMain& window = OpenWindow();
    Add({1});
    Break("corrupt"); // 1 is listed already; 3 cannot have its peaks read
    Add({1, 3, 2});
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(Utf8(Q(boxes.shown[0].text)), "no such table: peak");
    EXPECT_EQ(window.Assays().Ids(), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(window.AssayList().model()->rowCount(), 1);
}

} // namespace
} // namespace sepmet::testing
