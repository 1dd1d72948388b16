// The plug-in's window on Windows, driven as the operator drives it: the host loads the plug-in,
// the menu command opens the window, "S" takes the demo conditions, "+" the demo chromatograms,
// the pages are compared with what sepmet-batch prints, the report is written, closing and
// reopening keep the state, and Unload with the window open returns cleanly.
#include "demo/demo_determination.h"
#include "platform/opener.h"
#include "platform/utf.h"
#include "plugin/exports.h"
#include "plugin/host_api.h"
#include "plugin/module_state.h"
#include "tests/support/demo_determination.h"
#include "tests/support/fake_host.h"
#include "tests/support/message_box_recorder.h"
#include "ui/win32/dlg_main.h"
#include "win32_test_support.h"

#include <cstdio>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <knownfolders.h>
#include <shlobj.h>
#include <string>

namespace sepmet::testing {
namespace {

namespace fs = std::filesystem;
using win32::DlgMain;

constexpr UINT kAssayListChanged = 1035;
constexpr int kAdd = 1000, kRemoveAll = 1002, kOpen = 1003, kReload = 1004, kReport = 1005,
              kSettings = 1008, kAbout = 1022;

// A grid's page as sepmet-batch prints it: the column titles, then the rows.
std::string GridText(HWND list) {
    std::vector<std::u16string> titles;
    const HWND header = ListView_GetHeader(list);
    for (int column = 0, n = Header_GetItemCount(header); column < n; ++column) {
        wchar_t title[256]{};
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = title;
        item.cchTextMax = 256;
        SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
        titles.emplace_back(title, title + lstrlenW(title));
    }
    return TabbedLines({titles}) + TabbedLines(ListViewRows(list));
}

std::string RunBatch(const std::string& arguments) {
    return ProgramOutput(SEPMET_BATCH_EXE, arguments);
}

// The host's windows: the application window owns the frame, which is the parent the menu
// command hands over; message 1035 reaches the parent of the window's parent, the application
// window, which counts it.
class HostWindows {
public:
    HostWindows() {
        WNDCLASSW cls{};
        cls.lpfnWndProc = &Procedure;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"sepmetTestHost";
        RegisterClassW(&cls);
        application = CreateWindowExW(0, cls.lpszClassName, L"host", WS_POPUP, 0, 0, 10, 10,
                                      nullptr, nullptr, cls.hInstance, nullptr);
        frame = CreateWindowExW(0, cls.lpszClassName, L"frame", WS_POPUP, 0, 0, 10, 10, application,
                                nullptr, cls.hInstance, nullptr);
    }
    ~HostWindows() {
        DestroyWindow(frame);
        DestroyWindow(application);
    }
    static inline int listChanged = 0;
    static inline WPARAM lastWParam = 1;
    static inline LPARAM lastLParam = 1;
    HWND application = nullptr;
    HWND frame = nullptr;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == kAssayListChanged) {
            ++listChanged;
            lastWParam = wParam;
            lastLParam = lParam;
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

// The report template where the data system installs it: the shared documents folder.
void InstallReportTemplate() {
    PWSTR documents = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetKnownFolderPath(FOLDERID_PublicDocuments, 0, nullptr, &documents)));
    const fs::path folder = fs::path(documents) / L"Orvane4" / L"Templates" / L"sepmet";
    CoTaskMemFree(documents);
    fs::create_directories(folder);
    fs::copy_file(fs::path("Z:" SEPMET_SOURCE_DIR) / "share/Orvane4/Templates/sepmet/Report.xsl",
                  folder / "Report.xsl", fs::copy_options::overwrite_existing);
}

class RecordingOpener final : public Opener {
public:
    bool Open(const std::string& path) override {
        opened.push_back(path);
        return true;
    }
    std::vector<std::string> opened;
};

class Win32MainWindow : public ::testing::Test {
protected:
    Win32MainWindow() {
        host.OfferAll(FromUtf8(demo.Path()));
        EXPECT_EQ(Load(host.api()), 0);
        host.FireEvent(HostService::ModulesLoaded);
        SetOpener(&opener);
        InstallReportTemplate();
    }
    ~Win32MainWindow() override { Unload(); }

    DlgMain& OpenWindow() {
        host.ChooseMenuItem(reinterpret_cast<HostWord>(windows.frame));
        PumpMessages();
        auto* window = dynamic_cast<DlgMain*>(Module().mainDialog);
        EXPECT_TRUE(window);
        return *window;
    }

    void SetDemoConditions(DlgMain& window) {
        DriveModal(
            [&] {
                Click(window.hwnd(), kSettings);
                return INT_PTR(0);
            },
            [](HWND d) {
                SetText(GetDlgItem(d, 1017), u"100");
                SetText(GetDlgItem(d, 1019), u"10");
                SetText(GetDlgItem(d, 1018), u"0,7");
                Click(d, win32::DlgSettings::kApplyId);
            });
    }

    void Add(DlgMain& window, std::vector<std::int32_t> ids) {
        host.pickerIds() = std::move(ids);
        Click(window.hwnd(), kAdd);
        PumpMessages();
    }

    std::string PagesText(DlgMain& window) {
        const auto pages = window.Pages();
        std::vector<std::vector<std::u16string>> messages;
        for (const std::u16string& line : ListBoxLines(GetDlgItem(pages[3], 1014)))
            messages.push_back({line});
        return BatchPagesText(GridText(GetDlgItem(pages[1], 1015)),
                              GridText(GetDlgItem(pages[2], 1015)), TabbedLines(messages));
    }

    std::string BatchOutput(const std::string& commands) {
        return RunBatch("--db \"" + demo.Path() + "\" " + kDemoConditions + " " + commands);
    }

    DemoDatabase demo;
    HostWindows windows;
    FakeHost host;
    MessageBoxRecorder boxes;
    RecordingOpener opener;
};

TEST_F(Win32MainWindow, DemoDeterminationEqualsTheBatchProgramAndTheReportIsWritten) {
    DlgMain& window = OpenWindow();
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));
    SetDemoConditions(window);
    HostWindows::listChanged = 0;
    Add(window, DemoDeterminationIds());
    EXPECT_EQ(ListViewRows(window.AssayList().hwnd()).size(), 12u);
    EXPECT_EQ(HostWindows::listChanged, 1);
    EXPECT_EQ(HostWindows::lastWParam, 0u);
    EXPECT_EQ(HostWindows::lastLParam, 0);
    const std::string batch = BatchOutput("--add 1-12");
    ASSERT_THAT(batch, ::testing::HasSubstr("1\tМетанол\t0,0493\n"));
    EXPECT_EQ(PagesText(window), batch);

    Click(window.hwnd(), kReport);
    ASSERT_EQ(opener.opened.size(), 1u);
    EXPECT_TRUE(fs::exists(opener.opened[0]));
    EXPECT_TRUE(boxes.shown.empty());
    fs::remove(opener.opened[0]);

    // "--" asks first: No (the default answer) keeps the list, Yes empties it.
    Click(window.hwnd(), kRemoveAll);
    ASSERT_EQ(boxes.questions.size(), 1u);
    EXPECT_EQ(ListViewRows(window.AssayList().hwnd()).size(), 12u);
    boxes.answer = true;
    Click(window.hwnd(), kRemoveAll);
    EXPECT_EQ(boxes.questions.size(), 2u);
    EXPECT_TRUE(ListViewRows(window.AssayList().hwnd()).empty());
}

TEST_F(Win32MainWindow, EveryCaseOfTheDemoMatchesTheBatchProgram) {
    for (const DemoSequence& sequence : DemoSequences()) {
        SCOPED_TRACE(sequence.what);
        host.profile().clear();
        DlgMain& window = OpenWindow();
        SetDemoConditions(window);
        for (const auto& ids : sequence.adds)
            Add(window, ids);
        if (sequence.reload)
            Click(window.hwnd(), kReload);
        EXPECT_EQ(PagesText(window), BatchOutput(sequence.batchCommands));
        Click(window.hwnd(), kRemoveAll);
        SendMessageW(window.hwnd(), WM_COMMAND, IDCANCEL, 0);
        PumpMessages();
    }
}

TEST_F(Win32MainWindow, OpenHandsTheSelectedChromatogramsToTheHostsViewerInListOrder) {
    DlgMain& window = OpenWindow();
    Add(window, {3, 1, 2});
    Click(window.hwnd(), kOpen); // nothing selected
    EXPECT_TRUE(host.openedFiles().empty());
    for (int row : {2, 0})
        ListView_SetItemState(window.AssayList().hwnd(), row, LVIS_SELECTED, LVIS_SELECTED);
    Click(window.hwnd(), kOpen);
    const auto stored = [](std::int32_t id) {
        return FromUtf8(demo::DemoAssays()[static_cast<std::size_t>(id - 1)].filename);
    };
    EXPECT_THAT(host.openedFiles(), ::testing::ElementsAre(stored(3), stored(2)));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Win32MainWindow, ClosingKeepsTheStateTheNextOpeningRestoresIt) {
    DlgMain& first = OpenWindow();
    SetDemoConditions(first);
    Add(first, DemoDeterminationIds());
    MoveWindow(first.hwnd(), 40, 30, 900, 520, TRUE);
    PressKey(first.AssayList().hwnd(), VK_ESCAPE); // closes as Cancel does
    PumpMessages();
    EXPECT_FALSE(Module().mainDialog);
    EXPECT_EQ(std::get<double>(host.profile().at(u"plugins\\sepmet\\/vW")), 100.0);
    EXPECT_EQ(std::get<std::u16string>(host.profile().at(u"plugins\\sepmet\\/Assay 12")), u"12/0");
    EXPECT_EQ(std::get<std::int32_t>(host.profile().at(u"plugins\\sepmet\\/WindowRect_tlx")), 40);

    HostWindows::listChanged = 0;
    DlgMain& second = OpenWindow();
    EXPECT_EQ(ListViewRows(second.AssayList().hwnd()).size(), 12u);
    EXPECT_EQ(HostWindows::listChanged, 1); // the restored list, told once
    RECT frame;
    GetWindowRect(second.hwnd(), &frame);
    EXPECT_EQ(frame.left, 40);
    EXPECT_EQ(frame.top, 30);
    EXPECT_EQ(frame.right - frame.left, 900);
    DriveModal(
        [&] {
            Click(second.hwnd(), kSettings);
            return INT_PTR(0);
        },
        [](HWND d) {
            EXPECT_EQ(Text(GetDlgItem(d, 1017)), u"100,000");
            Click(d, IDCANCEL);
        });
}

TEST_F(Win32MainWindow, SettingsFollowTheSessionsRules) {
    DlgMain& window = OpenWindow();
    struct Case {
        const char* what;
        std::u16string vW, gasT;
        std::u16string box; // caption of the box, empty: accepted
    };
    const Case cases[] = {
        {"only spaces", u"  ", u"20", u"Предупреждение"},
        {"not a number", u"100", u"nan", u"Ошибка"},
        {"text after the number", u"12abc", u"20", u"Ошибка"},
        {"decimal point and comma", u"100.5", u"-5,5", u""},
    };
    for (const Case& c : cases) {
        boxes.shown.clear();
        const ModalOutcome outcome = DriveModal(
            [&] {
                Click(window.hwnd(), kSettings);
                return INT_PTR(0);
            },
            [&](HWND d) {
                SetText(GetDlgItem(d, 1017), c.vW);
                SetText(GetDlgItem(d, 1021), c.gasT);
                Click(d, win32::DlgSettings::kApplyId);
            });
        EXPECT_EQ(outcome.stayedOpen, !c.box.empty()) << c.what;
        ASSERT_EQ(boxes.shown.size(), c.box.empty() ? 0u : 1u) << c.what;
        if (!c.box.empty()) {
            EXPECT_EQ(boxes.shown[0].caption, c.box) << c.what;
        }
    }
    EXPECT_EQ(window.Session().State().settings.vW, 100.5);
    EXPECT_EQ(window.Session().State().settings.gasT, -5.5);
}

TEST_F(Win32MainWindow, SystemMenuAboutPagesAndMinimumSize) {
    DlgMain& window = OpenWindow();
    // "О плагине" in the system menu, after a separator.
    const HMENU menu = GetSystemMenu(window.hwnd(), FALSE);
    wchar_t item[64]{};
    GetMenuStringW(menu, DlgMain::kAboutMenuItem, item, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(item), L"О плагине");
    for (void (*open)(HWND) : {+[](HWND w) { SendMessageW(w, WM_SYSCOMMAND, 16, 0); },
                               +[](HWND w) { Click(w, kAbout); }}) {
        std::u16string caption;
        const ModalOutcome outcome = DriveModal(
            [&] {
                open(window.hwnd());
                return INT_PTR(0);
            },
            [&](HWND d) {
                caption = Text(d);
                Click(d, IDOK);
            });
        EXPECT_EQ(caption, u"О плагине");
        EXPECT_FALSE(outcome.stayedOpen);
    }

    // Exactly one page shows, inside the tab control with the insets 1, 22, 4, 2.
    const auto pages = window.Pages();
    for (int tab = 0; tab < 4; ++tab) {
        TabCtrl_SetCurSel(window.Tabs(), tab);
        NMHDR change{window.Tabs(), DlgMain::kTabsId, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(window.hwnd(), WM_NOTIFY, DlgMain::kTabsId, reinterpret_cast<LPARAM>(&change));
        for (int page = 0; page < 4; ++page)
            EXPECT_EQ(IsWindowVisible(pages[page]) != FALSE, page == tab) << tab << " " << page;
    }
    MoveWindow(window.hwnd(), 0, 0, 1200, 800, TRUE);
    RECT client, page;
    GetClientRect(window.Tabs(), &client);
    page = ClientRectOf(window.Tabs(), pages[2]);
    EXPECT_EQ(page.left, 1);
    EXPECT_EQ(page.top, 22);
    EXPECT_EQ(client.right - page.right, 4);
    EXPECT_EQ(client.bottom - page.bottom, 2);

    MINMAXINFO info{};
    SendMessageW(window.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, DlgMain::kMinimumWidth);
    EXPECT_EQ(info.ptMinTrackSize.y, DlgMain::kMinimumHeight);
}

TEST_F(Win32MainWindow, UnloadWithTheWindowOpenSavesAndReturns) {
    DlgMain& window = OpenWindow();
    const HWND hwnd = window.hwnd();
    SetDemoConditions(window);
    Unload();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(std::get<double>(host.profile().at(u"plugins\\sepmet\\/vW")), 100.0);
    EXPECT_EQ(Load(host.api()), 0); // for the fixture's own Unload
}

TEST_F(Win32MainWindow, Screenshots) {
    DlgMain& window = OpenWindow();
    SetDemoConditions(window);
    Add(window, DemoDeterminationIds());
    // A click on a chromatogram shows its peaks.
    const HWND list = window.AssayList().hwnd();
    RECT row;
    ListView_GetItemRect(list, 10, &row, LVIR_LABEL);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.left + 4, row.top + 2));
    SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(row.left + 4, row.top + 2));
    PumpMessages();
    EXPECT_GT(ListViewRows(GetDlgItem(window.Pages()[0], 1009)).size(), 0u);

    EXPECT_TRUE(WriteScreenshot(window.hwnd(), "main-window"));
    const char* names[] = {"components", "calibration", "calculation", "messages"};
    for (int tab = 0; tab < 4; ++tab) {
        TabCtrl_SetCurSel(window.Tabs(), tab);
        NMHDR change{window.Tabs(), DlgMain::kTabsId, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(window.hwnd(), WM_NOTIFY, DlgMain::kTabsId, reinterpret_cast<LPARAM>(&change));
        EXPECT_TRUE(WriteScreenshot(window.hwnd(), std::string("main-window-") + names[tab]));
    }
}

} // namespace
} // namespace sepmet::testing
