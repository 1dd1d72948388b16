// The host with the built sepmet.so: start-up order, the menu item, the window and its status
// bar, the viewer, the modules dialog, switching databases and a profile that cannot be opened.
#include "demo/demo_database.h"
#include "host/assay_table_model.h"
#include "host/chromatogram_window.h"
#include "host/host_session.h"
#include "host/host_window.h"
#include "host/modules_dialog.h"
#include "host/profile_store.h"
#include "plugin/host_services.h"
#include "tests/host/session_folder.h"
#include "tests/support/message_box_recorder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

namespace sepmet::host::testing {
namespace {

constexpr char kMenuPath[] = "Данные/Расчёты/Метанол в газе сепарации";

class HostSessionTest : public SessionFolderTest {
protected:
    QString Location(HostSession& session) {
        const HostWord answer = session.table().Call(HostService::GetConnectionUri, 0, 0);
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(answer));
    }
};

TEST_F(HostSessionTest, StartsWithThePlugInsMenuItemAndShowsTheDatabase) {
    std::ofstream(plugins / "notes.so") << "not a library";
    HostSession session(Settings());
    QString error;
    ASSERT_TRUE(session.Start(&error)) << error.toStdString();
    HostWindow& window = *session.window();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.windowTitle().contains(QStringLiteral("демонстрационная база")));
    EXPECT_EQ(window.model().TotalCount(), 18);
    EXPECT_TRUE(window.statusText().contains(FileIn(folder, "demo.sqlite")));
    EXPECT_TRUE(window.statusText().contains(QStringLiteral("Хроматограмм: 18")));
    EXPECT_TRUE(window.statusText().contains(QStringLiteral("Модулей: 1")));
    ASSERT_NE(window.FindAction(QString::fromUtf8(kMenuPath)), nullptr);
    EXPECT_TRUE(session.table().Has(HostService::MenuCommand));
    EXPECT_EQ(Location(session), FileIn(folder, "demo.sqlite"));
    SaveScreenshot(window, QStringLiteral("host-window"));

    // The plug-in's notification makes the host count the database afresh.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(FileIn(folder, "demo.sqlite").toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_exec(db, "INSERT INTO assay(id, sample) VALUES(100, 'новая')", nullptr, nullptr,
                 nullptr);
    sqlite3_close(db);
    QCoreApplication::postEvent(&window, new QEvent(QEvent::Type(kAssayListChangedEvent)));
    EXPECT_TRUE(
        WaitFor([&] { return window.statusText().contains(QStringLiteral("Хроматограмм: 19")); }));

    auto* modules = new ModulesDialog(session.plugins(), session.settings().pluginFolder, &window);
    modules->show();
    ASSERT_EQ(modules->list().topLevelItemCount(), 2);
    EXPECT_EQ(modules->list().topLevelItem(0)->text(0), QStringLiteral("sepmet"));
    EXPECT_TRUE(modules->list().topLevelItem(1)->text(1).contains(QStringLiteral("пропущен")));
    SaveScreenshot(*modules, QStringLiteral("host-modules"));

    session.Shutdown();
    EXPECT_EQ(session.table().PluginServiceCount() + session.table().SubscriptionCount(), 0);
    EXPECT_EQ(session.window(), nullptr);
}

TEST_F(HostSessionTest, TheViewerDrawsTheChromatogramNamedByItsFileName) {
    HostSession session(Settings());
    ASSERT_TRUE(session.Start());
    const std::u16string fileName = u"D:\\Chrom\\2024-03-12\\grad_02.chr";
    EXPECT_EQ(session.table().Call(HostService::OpenAssayFile, 0,
                                   reinterpret_cast<HostWord>(fileName.c_str())),
              1);
    ChromatogramWindow* viewer = session.window()->findChild<ChromatogramWindow*>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(viewer->windowTitle().contains(QStringLiteral("grad_02")));
    // Run 2 has the water peak on channel 2 and three peaks on channel 1.
    ASSERT_EQ(viewer->peakTable().rowCount(), 4);
    EXPECT_EQ(viewer->peakTable().item(2, 1)->text(), QStringLiteral("Этанол"));
    EXPECT_EQ(viewer->peakTable().item(3, 0)->text(), QStringLiteral("2"));
    SaveScreenshot(*viewer, QStringLiteral("host-viewer"));

    // A double click in the host's own table opens the same viewer.
    viewer->close();
    QTableView& table = session.window()->table();
    const QRect cell = table.visualRect(session.window()->model().index(10, 2));
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, cell.center());
    const auto viewers = session.window()->findChildren<ChromatogramWindow*>();
    EXPECT_TRUE(std::any_of(viewers.begin(), viewers.end(), [](ChromatogramWindow* window) {
        return window->isVisible() && window->windowTitle().contains(QStringLiteral("abs_11"));
    }));

    sepmet::testing::MessageBoxRecorder boxes;
    const std::u16string unknown = u"D:\\Chrom\\nowhere.chr";
    EXPECT_EQ(session.table().Call(HostService::OpenAssayFile, 0,
                                   reinterpret_cast<HostWord>(unknown.c_str())),
              0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find(u"nowhere.chr"), std::u16string::npos);
}

TEST_F(HostSessionTest, SwitchingDatabasesReloadsThePlugInAndKeepsTheOldLocationText) {
    ASSERT_EQ(demo::WriteDemoDatabase(folder.File("second.sqlite")), "");
    HostSession session(Settings(false));
    ASSERT_TRUE(session.Start());
    const auto* oldText = reinterpret_cast<const char16_t*>(
        session.table().Call(HostService::GetConnectionUri, 0, 0));
    QString error;
    EXPECT_FALSE(session.SwitchDatabase(FileIn(folder, "missing.sqlite"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Location(session), FileIn(folder, "demo.sqlite")); // nothing changed

    // The plug-in's window is open: the switch closes it and its state is saved for the old
    // database.
    ASSERT_TRUE(session.ChooseMenuItem(QString::fromUtf8(kMenuPath)));
    auto pluginWindowShown = [&] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible() && widget->parentWidget() == session.window()->centralWidget())
                return true;
        return false;
    };
    EXPECT_TRUE(pluginWindowShown());
    ASSERT_TRUE(session.SwitchDatabase(FileIn(folder, "second.sqlite"), &error))
        << error.toStdString();
    EXPECT_FALSE(pluginWindowShown());
    ASSERT_NE(session.profile(), nullptr);
    session.profile()->SelectDatabase(DatabaseKey(FileIn(folder, "demo.sqlite")).toStdU16String());
    EXPECT_EQ(session.profile()->GetDouble(u"plugins\\sepmet\\/atmP"), 101.325);
    session.profile()->SelectDatabase(
        DatabaseKey(FileIn(folder, "second.sqlite")).toStdU16String());
    EXPECT_EQ(session.profile()->GetDouble(u"plugins\\sepmet\\/atmP"), std::nullopt);
    EXPECT_EQ(Location(session), FileIn(folder, "second.sqlite"));
    EXPECT_EQ(QString::fromUtf16(oldText), FileIn(folder, "demo.sqlite"));
    // Unloaded and loaded again: one menu item, the command service registered once.
    QMenu* data = nullptr;
    for (QAction* action : session.window()->menuBar()->actions())
        if (action->text() == QStringLiteral("Данные"))
            data = action->menu();
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(data->actions().size(), 1);
    EXPECT_EQ(data->actions()[0]->menu()->actions().size(), 1);
    EXPECT_EQ(session.table().PluginServiceCount(), 1);
    EXPECT_TRUE(session.window()->statusText().contains(FileIn(folder, "second.sqlite")));
}

TEST_F(HostSessionTest, QtsOwnTextsSpeakRussianWhileTheSessionRuns) {
    auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    ASSERT_EQ(cancel(), QStringLiteral("Cancel"));
    {
        HostSession session(Settings());
        ASSERT_TRUE(session.Start());
        EXPECT_EQ(cancel(), QStringLiteral("Отмена"));
    }
    EXPECT_EQ(cancel(), QStringLiteral("Cancel"));
}

TEST_F(HostSessionTest, SwitchingBackToTheDemoDatabaseSaysSoInTheTitle) {
    ASSERT_EQ(demo::WriteDemoDatabase(folder.File("second.sqlite")), "");
    HostSession session(Settings());
    ASSERT_TRUE(session.Start());
    const QString demoMark = QStringLiteral("(демонстрационная база)");
    ASSERT_TRUE(session.SwitchDatabase(FileIn(folder, "second.sqlite")));
    EXPECT_FALSE(session.window()->windowTitle().contains(demoMark));
    // Back by another spelling of the same file.
    ASSERT_TRUE(session.SwitchDatabase(FileIn(folder, "./demo.sqlite")));
    EXPECT_TRUE(session.window()->windowTitle().contains(demoMark))
        << session.window()->windowTitle().toStdString();
}

TEST_F(HostSessionTest, AProfileThatCannotBeOpenedLeavesTheProfileServicesMissing) {
    sepmet::testing::MessageBoxRecorder boxes;
    SessionSettings settings = Settings();
    settings.profileFile = QString::fromStdString(folder.Path()); // a folder
    HostSession session(settings);
    ASSERT_TRUE(session.Start());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find(u"не открыт"), std::u16string::npos);
    EXPECT_EQ(session.profile(), nullptr);
    for (const char* service :
         {HostService::ProfileGetInt, HostService::ProfileSetString, HostService::ProfileDelParam})
        EXPECT_FALSE(session.table().Has(service)) << service;
    EXPECT_TRUE(session.table().Has(HostService::OpenAssayIdDlg));
}

} // namespace
} // namespace sepmet::host::testing
