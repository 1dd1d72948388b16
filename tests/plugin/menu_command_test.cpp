#include "plugin/menu_command.h"
#include "plugin_fixture.h"

#include <gmock/gmock.h>
#include <stdexcept>

namespace sepmet::testing {
namespace {

using ::testing::ElementsAre;

// Counts what the menu command does with its windows; a window "closes" like the real one:
// it reports its destruction and deletes itself.
struct WindowLog {
    int created = 0;
    int shown = 0;
    int alive = 0;
    std::vector<HostWord> parents;
    bool failCreation = false;
    int savedForUnload = 0;
};

class CountingWindow final : public MainWindow {
public:
    explicit CountingWindow(WindowLog& log) : log_(log) { ++log_.alive; }
    ~CountingWindow() override { --log_.alive; }
    void CreateModeless() override {
        if (log_.failCreation)
            throw std::runtime_error("window creation failed");
        ++log_.created;
    }
    void ShowNormal() override { ++log_.shown; }
    void CloseForUnload() override {
        ++log_.savedForUnload;
        Close();
    }
    void Close() {
        MainWindowDestroyed(this);
        delete this;
    }

private:
    WindowLog& log_;
};

class CountingFactory final : public MainWindowFactory {
public:
    explicit CountingFactory(WindowLog& log) : log_(log) {}
    MainWindow* NewMainWindow(HostWord parent) override {
        log_.parents.push_back(parent);
        return new CountingWindow(log_);
    }

private:
    WindowLog& log_;
};

class MenuCommandTest : public PluginTest {
protected:
    MenuCommandTest() {
        SetMainWindowFactory(&factory);
        host.OfferAll();
        StartPlugin();
    }
    ~MenuCommandTest() override {
        if (auto* window = static_cast<CountingWindow*>(Module().mainDialog))
            window->Close();
    }

    WindowLog log;
    CountingFactory factory{log};
};

TEST_F(MenuCommandTest, TwoCommandsShowOneWindowTwice) {
    EXPECT_EQ(host.ChooseMenuItem(0x1234), 0);
    EXPECT_EQ(host.ChooseMenuItem(0x5678), 0);
    EXPECT_EQ(log.created, 1);
    EXPECT_EQ(log.shown, 2);
    EXPECT_EQ(log.alive, 1);
    EXPECT_THAT(log.parents, ElementsAre(0x1234));
    EXPECT_FALSE(Module().recreateMainDialog);
}

TEST_F(MenuCommandTest, CommandAfterCloseBuildsSecondWindow) {
    host.ChooseMenuItem(0x1234);
    MainWindow* first = Module().mainDialog;
    static_cast<CountingWindow*>(first)->Close();
    EXPECT_TRUE(Module().recreateMainDialog);
    EXPECT_EQ(Module().mainDialog, nullptr);
    EXPECT_EQ(log.alive, 0);

    host.ChooseMenuItem(0x1234);
    EXPECT_EQ(log.created, 2);
    EXPECT_EQ(log.shown, 2);
    EXPECT_EQ(log.alive, 1);
    EXPECT_NE(Module().mainDialog, nullptr);
}

TEST_F(MenuCommandTest, FailedCreationIsReportedAndNotReused) {
    log.failCreation = true;
    EXPECT_EQ(host.ChooseMenuItem(0x1234), 0); // no exception reaches the host
    EXPECT_THAT(boxes.Texts(), ElementsAre(u"window creation failed"));
    EXPECT_EQ(log.alive, 0);
    EXPECT_TRUE(Module().recreateMainDialog);

    log.failCreation = false;
    host.ChooseMenuItem(0x1234);
    EXPECT_EQ(log.created, 1);
    EXPECT_EQ(log.shown, 1);
}

TEST_F(MenuCommandTest, WindowThatReportsItsDestructionWhileFailingIsDeletedOnce) {
    // A window whose creation fails after its window was already torn down: it reports the
    // destruction, but the menu command, which still owns it, deletes it (ASan sees a second
    // deletion or a use of the freed object).
    class SelfReportingWindow final : public MainWindow {
    public:
        explicit SelfReportingWindow(WindowLog& log) : log_(log) { ++log_.alive; }
        ~SelfReportingWindow() override { --log_.alive; }
        void CreateModeless() override {
            MainWindowDestroyed(this);
            throw std::runtime_error("state could not be restored");
        }
        void ShowNormal() override { ++log_.shown; }
        void CloseForUnload() override { delete this; }

    private:
        WindowLog& log_;
    };
    struct Factory final : MainWindowFactory {
        explicit Factory(WindowLog& log) : log(log) {}
        MainWindow* NewMainWindow(HostWord) override { return new SelfReportingWindow(log); }
        WindowLog& log;
    } failing(log);
    SetMainWindowFactory(&failing);
    EXPECT_EQ(host.ChooseMenuItem(0x1234), 0);
    EXPECT_EQ(log.alive, 0);
    EXPECT_EQ(log.shown, 0);
    EXPECT_EQ(Module().mainDialog, nullptr);
    EXPECT_TRUE(Module().recreateMainDialog);
    EXPECT_THAT(boxes.Texts(), ElementsAre(u"state could not be restored"));
    SetMainWindowFactory(&factory);
}

TEST_F(MenuCommandTest, UnloadClosesTheOpenWindowAndForgetsTheHost) {
    host.ChooseMenuItem(0x1234);
    ASSERT_EQ(log.alive, 1);
    EXPECT_EQ(Unload(), 0);
    EXPECT_EQ(log.savedForUnload, 1);
    EXPECT_EQ(log.alive, 0);
    EXPECT_EQ(Module().mainDialog, nullptr);
    EXPECT_TRUE(Module().recreateMainDialog);
    EXPECT_EQ(Module().hostApi, nullptr);
    // Nothing reaches the host's table any more.
    host.ClearCalls();
    EXPECT_EQ(host.ChooseMenuItem(0x1234), kServiceMissing);
    EXPECT_TRUE(host.calls().empty());
}

TEST_F(PluginTest, WithoutWindowFactoryTheCommandCreatesNothing) {
    host.OfferAll();
    StartPlugin();
    EXPECT_EQ(host.ChooseMenuItem(0x1234), 0);
    EXPECT_EQ(Module().mainDialog, nullptr);
    EXPECT_TRUE(Module().recreateMainDialog);
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace
} // namespace sepmet::testing
