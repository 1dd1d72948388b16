#pragma once
// DlgMain on Windows: the plug-in's main window as a modeless dialog over the host window. It
// shows the determination session of one window (the chromatogram list, eight command buttons,
// the four result pages); each command is the session's command, its result shown here.

#include "plugin/main_window.h"
#include "plugin/profile.h"
#include "session/command_result_view.h"
#include "session/determination_session.h"
#include "ui/win32/dialog.h"
#include "ui/win32/dlg_settings.h"
#include "ui/win32/grid_ctrl.h"

#include <array>
#include <memory>

namespace sepmet {
class ReportGenerator;
}

namespace sepmet::win32 {

class GridTab;
class MessageTab;

class DlgMain final : public Dialog, public MainWindow, private CommandResultView {
public:
    explicit DlgMain(HWND hostParent);
    ~DlgMain() override;

    // --- MainWindow ---
    void CreateModeless() override;
    void ShowNormal() override;
    void CloseForUnload() override;

    // --- commands (the buttons' control ids) ---
    void OnAddCommand();            // 1000 "+"
    void OnRemoveSelectedCommand(); // 1001 "-"
    void OnRemoveAllCommand();      // 1002 "--"
    void OnOpenCommand();           // 1003 "*"
    void OnReloadCommand();         // 1004 "R"
    void OnSettingsCommand();       // 1008 "S"
    void OnReportCommand();         // 1005 "->"
    void OnAboutCommand();          // 1022 "i" and the system menu's item 16
    void OnListClick(int row);      // NM_CLICK on the list; -1 below the last row

    // --- parts, for tests ---
    DeterminationSession& Session() { return *session_; }
    CGridCtrl& AssayList() { return assayList_; }
    HWND Tabs() const { return Item(kTabsId); }
    // The page windows in tab order: components, calibration, result, messages.
    std::array<HWND, 4> Pages() const;

    static constexpr int kListId = 1006;
    static constexpr int kTabsId = 1007;
    static constexpr int kAboutMenuItem = 16;
    // The window's minimum tracking size, pixels.
    static constexpr int kMinimumWidth = 840;
    static constexpr int kMinimumHeight = 468;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    std::optional<LRESULT> OnNotify(NMHDR* header) override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override;

private:
    HostWord WindowHandle() const { return reinterpret_cast<HostWord>(hwnd()); }
    void CreateToolTips();
    void SetUpAssayList();
    void CreatePages();
    void PlacePages();
    void ShowPage(int index);
    void SaveRowMarks();
    void ShowResult(const CommandResult& result) { ShowCommandResult(result, *this); }
    // --- CommandResultView ---
    void RefreshAssayList() override;
    void NotifyAssayListChanged() override;
    void ClearPeakPage() override;
    void ShowRecalculation(const Recalculation& recalculation) override;
    void ShowError(std::u16string_view text) override;
    void SaveWindowState();
    void RestoreWindowState();
    void PlaceWindow(const StoredWindowRect& stored);
    std::vector<std::size_t> SelectedRows() const;

    HWND hostParent_;
    HWND toolTip_ = nullptr;
    CGridCtrl assayList_; // row i shows the session's chromatogram i
    std::unique_ptr<DeterminationSession> session_;
    HostProfile profile_;
    std::unique_ptr<GridTab> componentsPage_;
    std::unique_ptr<MessageTab> messageTab_;
    std::unique_ptr<GridTab> gradPage_;
    std::unique_ptr<DlgSettings> settingsDialog_;
    std::unique_ptr<GridTab> calcPage_;
    std::unique_ptr<ReportGenerator> reportGenerator_;
    std::optional<CommandResult> appliedSettings_; // what the settings dialog's Apply did
    bool created_ = false;   // CreateModeless succeeded: the object owns itself
    bool closing_ = false;   // the state is saved; the window is going
    bool unloading_ = false; // CloseForUnload deletes the object itself
};

class DlgMainFactory final : public MainWindowFactory {
public:
    MainWindow* NewMainWindow(HostWord parent) override;
};

} // namespace sepmet::win32
