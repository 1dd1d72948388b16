// The window's state is one save in the host's profile: whatever write or sync fails, and
// wherever the host is killed, the list the window kept comes back whole, the old one or the
// new one; a save that failed is told once.
#include "host/host_session.h"
#include "host/host_table.h"
#include "host/host_window.h"
#include "host/profile_services.h"
#include "host/profile_store.h"
#include "plugin/host_services.h"
#include "tests/host/session_folder.h"
#include "tests/support/fault_vfs.h"
#include "tests/support/message_box_recorder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace sepmet::host::testing {
namespace {

using sepmet::testing::FaultOp;
using StoredValues = std::map<std::u16string, std::u16string>;

constexpr char kMenuPath[] = "Данные/Расчёты/Метанол в газе сепарации";
constexpr char16_t kPrefix[] = u"plugins\\sepmet\\/";

std::u16string Number(int n) {
    return QString::number(n).toStdU16String();
}

// The list as the window restores it: entries 1, 2, … up to the first missing one.
std::vector<std::u16string> RestoredList(const StoredValues& values) {
    std::vector<std::u16string> list;
    for (int n = 1;; ++n) {
        const auto entry = values.find(kPrefix + (u"Assay " + Number(n)));
        if (entry == values.end())
            return list;
        list.push_back(entry->second);
    }
}

class ProfileSaveTest : public SessionFolderTest {
protected:
    void SetUp() override {
        SessionFolderTest::SetUp();
        if (HasFatalFailure())
            return;
        sepmet::testing::DisarmFault(); // every store below is opened through the failing layer
        database = DatabaseKey(FileIn(folder, "demo.sqlite")).toStdU16String();
        // No audit trail can be made (its folder would be inside a file), so that the only
        // writes the plug-in causes are those of the profile.
        dataHome = qgetenv("XDG_DATA_HOME");
        std::ofstream(folder.File("data")) << "a file";
        qputenv("XDG_DATA_HOME", FileIn(folder, "data").toUtf8());
        // The operator confirms "--"; any other message box of the plug-in is taken down and kept.
        QObject::connect(&guard, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                if (box->text().startsWith(QStringLiteral("Удалить все хроматограммы"))) {
                    box->done(QMessageBox::Yes);
                    return;
                }
                pluginMessages << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        guard.start(50);
    }

    // The window's state before: the twelve chromatograms of the determination.
    void StoreTwelve() {
        std::string error;
        auto store = ProfileStore::Open(folder.File("profile.sqlite"), error);
        ASSERT_TRUE(store) << error;
        store->SelectDatabase(database);
        for (int n = 1; n <= 12; ++n)
            store->SetText(kPrefix + (u"Assay " + Number(n)), Number(n) + u"/0");
        ASSERT_EQ(store->EndSave(), std::nullopt);
    }

    void TearDown() override {
        guard.stop();
        if (dataHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", dataHome);
    }

    std::u16string database;
    QByteArray dataHome;
    QTimer guard;
    QStringList pluginMessages;
};

// The operator empties the list and closes the window, whose state is saved while the nth write
// or sync of the profile fails; every write and sync in turn.
TEST_F(ProfileSaveTest, TheWindowsStateIsSavedWholeOrNotAtAllAndAFailureIsToldOnce) {
    const auto file = folder.File("profile.sqlite");
    const auto pristine = folder.File("profile-before.sqlite");
    StoreTwelve();
    std::filesystem::copy_file(file, pristine);
    for (const FaultOp op : {FaultOp::Write, FaultOp::Sync}) {
        for (int nth = 1;; ++nth) {
            SCOPED_TRACE(::testing::Message()
                         << (op == FaultOp::Write ? "write " : "sync ") << nth);
            ASSERT_LT(nth, 200) << "the save never completed";
            for (const char* suffix : {"", "-wal", "-shm"})
                std::filesystem::remove(file + suffix);
            std::filesystem::copy_file(pristine, file);
            sepmet::testing::MessageBoxRecorder boxes;
            bool hit = false;
            {
                HostSession session(Settings());
                ASSERT_TRUE(session.Start());
                ASSERT_TRUE(session.ChooseMenuItem(QString::fromUtf8(kMenuPath)));
                QWidget* window = PlugInWindow(session);
                ASSERT_NE(window, nullptr);
                QApplication::processEvents(); // the restore's own save ends
                QAbstractButton* removeAll =
                    ButtonWithTooltip(*window, QStringLiteral("Удалить все хроматограммы"));
                ASSERT_NE(removeAll, nullptr);
                removeAll->click();
                sepmet::testing::ArmFault(op, nth, nth % 2 ? SQLITE_FULL : SQLITE_IOERR_WRITE);
                window->close();
                QApplication::processEvents(); // control back in the loop: the save ends
                hit = sepmet::testing::FaultCount(op) >= nth;
                sepmet::testing::DisarmFault();
                session.Shutdown();
            }
            const StoredValues stored = StoredProfileValues(file, database);
            const std::vector<std::u16string> list = RestoredList(stored);
            EXPECT_TRUE(list.size() == 12 || list.empty()) << list.size();
            EXPECT_EQ(stored.count(kPrefix + std::u16string(u"Assay 1")), list.size() ? 1u : 0u);
            if (op == FaultOp::Write)
                EXPECT_EQ(list.size(), hit ? 12u : 0u);
            std::size_t told = 0;
            for (const auto& text : boxes.Texts())
                told += text.find(u"не сохранены в профиле") != std::u16string::npos;
            EXPECT_EQ(told, hit ? 1u : 0u);
            EXPECT_TRUE(pluginMessages.isEmpty()) << pluginMessages.join(u'\n').toStdString();
            if (!hit)
                break;
        }
    }
}

// A profile whose write lock another program holds: the window's whole save waits once, is
// told once, and the stored state is left as it was.
TEST_F(ProfileSaveTest, ALockedProfileMakesTheSaveWaitOnceAndSaySoOnce) {
    StoreTwelve();
    const auto file = folder.File("profile.sqlite");
    const StoredValues before = StoredProfileValues(file, database);
    sepmet::testing::MessageBoxRecorder boxes;
    HostSession session(Settings());
    ASSERT_TRUE(session.Start());
    ASSERT_TRUE(session.ChooseMenuItem(QString::fromUtf8(kMenuPath)));
    QWidget* window = PlugInWindow(session);
    ASSERT_NE(window, nullptr);
    QApplication::processEvents();
    ButtonWithTooltip(*window, QStringLiteral("Удалить все хроматограммы"))->click();

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    window->close(); // twelve deletions, four numbers of the rectangle, five conditions
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QApplication::processEvents();
    session.Shutdown();
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_NE(boxes.Texts()[0].find(u"не сохранены в профиле"), std::u16string::npos);
    EXPECT_NE(boxes.Texts()[0].find(u"locked"), std::u16string::npos);
    EXPECT_EQ(StoredProfileValues(file, database), before);
}

// A child process saves the window's state over and over, as the plug-in writes it through the
// host's profile services (list of 13 or of 7, the stale entries deleted, the conditions), and
// is killed at random moments. After each kill the store opens and the list comes back whole.
TEST(ProfileKill, AKilledSaveLeavesTheListWhole) {
    TemporaryFolder folder;
    const std::string file = folder.File("profile.sqlite");
    const std::u16string database = u"/data/lab.sqlite";
    std::mt19937 random(12345);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    int kills = 0;
    while (std::chrono::steady_clock::now() < end && kills < 60) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::string error;
            auto store = ProfileStore::Open(file, error);
            if (!store)
                _exit(3);
            store->SelectDatabase(database);
            HostTable table;
            OfferProfileServices(table, *store);
            auto set = [&](const std::u16string& key, const std::u16string& value) {
                table.Call(HostService::ProfileSetString, reinterpret_cast<HostWord>(key.c_str()),
                           reinterpret_cast<HostWord>(value.c_str()));
            };
            for (int round = 0;; ++round) {
                const int entries = round % 2 ? 7 : 13;
                for (int n = 1; n <= 13; ++n) {
                    const std::u16string key = kPrefix + (u"Assay " + Number(n));
                    if (n <= entries)
                        set(key, Number(100 * entries + n) + u"/1");
                    else
                        table.Call(HostService::ProfileDelParam,
                                   reinterpret_cast<HostWord>(key.c_str()), 0);
                }
                const double vW = entries;
                const std::u16string vWKey = kPrefix + std::u16string(u"vW");
                table.Call(HostService::ProfileSetDouble, reinterpret_cast<HostWord>(vWKey.c_str()),
                           reinterpret_cast<HostWord>(&vW));
                store->EndSave(); // control back in the host's event loop
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 20000));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself: " << status;
        ++kills;

        std::string error;
        auto store = ProfileStore::Open(file, error);
        ASSERT_TRUE(store) << error;
        store.reset();
        const StoredValues stored = StoredProfileValues(file, database);
        if (stored.empty())
            continue; // killed before the first save ended
        const std::vector<std::u16string> list = RestoredList(stored);
        ASSERT_TRUE(list.size() == 13 || list.size() == 7)
            << "kill " << kills << ": " << list.size();
        const int entries = static_cast<int>(list.size());
        for (int n = 1; n <= entries; ++n)
            EXPECT_EQ(list[static_cast<std::size_t>(n - 1)], Number(100 * entries + n) + u"/1");
        EXPECT_EQ(stored.size(), list.size() + 1); // no entry behind a gap; the condition
        EXPECT_EQ(stored.at(kPrefix + std::u16string(u"vW")), Number(entries) + u".0");
    }
    EXPECT_GT(kills, 5);
}

} // namespace
} // namespace sepmet::host::testing
