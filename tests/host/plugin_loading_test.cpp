// Loading the plug-in folder: the built sepmet.so beside libraries that are not plug-ins, the
// host table's answers, and nothing left registered after Unload.
#include "host/host_table.h"
#include "host/modules_dialog.h"
#include "host/plugin_set.h"
#include "plugin/host_services.h"
#include "tests/host/host_test_support.h"

#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/stat.h>

namespace sepmet::host::testing {
namespace {

HostWord SEPMET_CDECL Answer7(HostWord, HostWord) {
    return 7;
}

TEST(HostTable, AnswersTheMissingWordAndFindsWhatIsRegistered) {
    HostTable table;
    const HostApi& api = *table.api();
    EXPECT_EQ(api.callService("No/Such", 1, 2), kServiceMissing);
    EXPECT_EQ(api.findService("No/Such"), 0);
    table.Offer("Host/Echo", [](HostWord first, HostWord second) { return first + second; });
    EXPECT_EQ(api.callService("Host/Echo", 40, 2), 42);
    EXPECT_NE(api.findService("Host/Echo"), 0);
    // A failing built-in service answers 0; no exception reaches the caller.
    table.Offer("Host/Fails",
                [](HostWord, HostWord) -> HostWord { throw std::runtime_error("x"); });
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(api.callService("Host/Fails", 0, 0), 0);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("Host/Fails failed: x"),
              std::string::npos);

    const HostWord service = api.registerService("Test/Seven", &Answer7);
    const HostWord subscription = api.subscribe("Test/Event", &Answer7);
    EXPECT_NE(service, subscription);
    EXPECT_EQ(api.callService("Test/Seven", 0, 0), 7);
    EXPECT_TRUE(table.FireEvent("Test/Event"));
    api.unregisterService(service);
    api.unsubscribe(subscription);
    api.unregisterService(service); // a stale handle withdraws nothing else
    EXPECT_EQ(api.callService("Test/Seven", 0, 0), kServiceMissing);
    EXPECT_FALSE(table.FireEvent("Test/Event"));

    // What a library leaves registered is withdrawn with it.
    api.registerService("Test/Seven", &Answer7);
    api.subscribe("Test/Event", &Answer7);
    EXPECT_EQ(table.WithdrawLibrary(reinterpret_cast<const void*>(&Answer7)), 2);
    EXPECT_EQ(table.PluginServiceCount() + table.SubscriptionCount(), 0);
}

TEST(PluginSet, SkipsLibrariesThatAreNotPlugInsAndLoadsTheRest) {
    Application();
    TemporaryFolder folder;
    const auto copy = [&](const char* from, const char* name) {
        std::filesystem::copy_file(from, folder.File(name));
    };
    copy(SEPMET_MODULE_PATH, "sepmet.so");
    copy(SEPMET_NOT_A_PLUGIN_PATH, "a_library.so"); // a real library without the exports
    std::ofstream(folder.File("broken.so")) << "not an ELF file";
    std::ofstream(folder.File("readme.txt")) << "not a library at all";

    HostTable table;
    int modulesLoaded = 0;
    table.Offer(HostService::CreateNewMenu, [&](HostWord, HostWord) -> HostWord {
        ++modulesLoaded; // the plug-in asks for its menu item once per ModulesLoaded
        return 1;
    });
    table.Offer(HostService::OpenAssayIdDlg, [](HostWord, HostWord) -> HostWord { return 0; });
    static const char16_t location[] = u"analysis.sqlite";
    table.Offer(HostService::GetConnectionUri,
                [](HostWord, HostWord) { return reinterpret_cast<HostWord>(location); });
    {
        PluginSet plugins(table);
        ::testing::internal::CaptureStderr();
        plugins.OpenFolder(folder.Path());
        const std::string stderrText = ::testing::internal::GetCapturedStderr();
        ASSERT_EQ(plugins.plugins().size(), 1u);
        EXPECT_EQ(plugins.plugins()[0].description.name, u"sepmet");
        EXPECT_EQ(VersionText(plugins.plugins()[0].description.version), "1.0.2.0");
        ASSERT_EQ(plugins.skipped().size(), 2u);
        EXPECT_EQ(plugins.skipped()[0].path.filename(), "a_library.so");
        EXPECT_NE(plugins.skipped()[0].reason.find("no export GetPluginInfo, Load, Unload"),
                  std::string::npos)
            << plugins.skipped()[0].reason;
        EXPECT_EQ(plugins.skipped()[1].path.filename(), "broken.so");
        EXPECT_NE(stderrText.find("a_library.so skipped: not a plug-in"), std::string::npos)
            << stderrText;
        EXPECT_NE(stderrText.find("broken.so skipped:"), std::string::npos) << stderrText;

        plugins.LoadAll();
        EXPECT_EQ(modulesLoaded, 1);
        EXPECT_TRUE(table.Has(HostService::MenuCommand));
        plugins.UnloadAll();
        EXPECT_FALSE(table.Has(HostService::MenuCommand));
        EXPECT_EQ(table.PluginServiceCount() + table.SubscriptionCount(), 0);
        plugins.LoadAll(); // as after a database switch
        EXPECT_EQ(modulesLoaded, 2);
    } // CloseAll: Unload and dlclose
    EXPECT_EQ(table.PluginServiceCount() + table.SubscriptionCount(), 0);
}

// A FIFO named like a library is never opened (it would block the start), records that are too
// small or carry no version are refused before Load, and a second copy of a plug-in is skipped
// as such: one menu item, one set of profile values.
TEST(PluginSet, OnlyRegularFilesWithASoundRecordAndOneCopyOfEachPlugInAreLoaded) {
    TemporaryFolder folder;
    ASSERT_EQ(mkfifo(folder.File("0-pipe.so").c_str(), 0600), 0);
    std::filesystem::copy_file(SEPMET_FAKE_SMALL_RECORD_PATH, folder.File("1-small.so"));
    std::filesystem::copy_file(SEPMET_FAKE_NO_VERSION_PATH, folder.File("2-unversioned.so"));
    std::filesystem::copy_file(SEPMET_MODULE_PATH, folder.File("3-sepmet.so"));
    std::filesystem::copy_file(SEPMET_MODULE_PATH, folder.File("4-sepmet-copy.so"));
    HostTable table;
    int fakeLoads = 0;
    table.Offer("Test/FakeLoaded", [&](HostWord, HostWord) -> HostWord { return ++fakeLoads; });
    {
        PluginSet plugins(table);
        ::testing::internal::CaptureStderr();
        plugins.OpenFolder(folder.Path()); // returns: the FIFO is not opened
        ::testing::internal::GetCapturedStderr();
        ASSERT_EQ(plugins.plugins().size(), 1u);
        EXPECT_EQ(plugins.plugins()[0].path.filename(), "3-sepmet.so");
        const struct {
            const char* file;
            const char* reason;
            bool duplicate;
        } expected[] = {
            {"0-pipe.so", "not a regular file", false},
            {"1-small.so", "information record of 7 bytes", false},
            {"2-unversioned.so", "without a version (255.255.255.255)", false},
            {"4-sepmet-copy.so", "loaded once", true},
        };
        ASSERT_EQ(plugins.skipped().size(), std::size(expected));
        for (std::size_t i = 0; i < std::size(expected); ++i) {
            EXPECT_EQ(plugins.skipped()[i].path.filename(), expected[i].file);
            EXPECT_NE(plugins.skipped()[i].reason.find(expected[i].reason), std::string::npos)
                << plugins.skipped()[i].reason;
            EXPECT_EQ(plugins.skipped()[i].duplicate, expected[i].duplicate) << expected[i].file;
        }
        plugins.LoadAll();
        EXPECT_EQ(fakeLoads, 0);

        Application();
        ModulesDialog dialog(plugins, QString::fromStdString(folder.Path()));
        dialog.show();
        ASSERT_EQ(dialog.list().topLevelItemCount(), 5);
        EXPECT_EQ(dialog.list().topLevelItem(4)->text(1),
                  QStringLiteral("пропущен: модуль уже загружен"));
        EXPECT_EQ(dialog.list().topLevelItem(1)->text(1), QStringLiteral("пропущен: не модуль"));
        SaveScreenshot(dialog, QStringLiteral("host-modules-skipped"));
    }
}

TEST(PluginSet, AMissingFolderLoadsNothing) {
    HostTable table;
    PluginSet plugins(table);
    plugins.OpenFolder("/nonexistent/sepmet/plugins");
    plugins.LoadAll();
    EXPECT_TRUE(plugins.plugins().empty());
    EXPECT_TRUE(plugins.skipped().empty());
}

} // namespace
} // namespace sepmet::host::testing
