#pragma once
// DlgMain: the plug-in's main window. A modeless top-level dialog over the host window that shows
// the determination session of one window: its chromatograms in a list, eight command buttons
// and the four result pages. Each command is turned into the session's command and its result
// shown; the rules live in the session.

#include "plugin/host_api.h"
#include "plugin/main_window.h"
#include "plugin/profile.h"
#include "session/command_result_view.h"
#include "session/determination_session.h"

#include <QDialog>
#include <QRect>
#include <memory>

class QAbstractButton;
class QTabWidget;

namespace sepmet {

class CGridCtrl;
class ComponentsTab;
class GradTab;
class CalcTab;
class MessageTab;
class ReportGenerator;

class DlgMain final : public QDialog, public MainWindow, private CommandResultView {
    Q_OBJECT
public:
    // `hostParent` is the host window handed to the menu command.
    explicit DlgMain(QWidget* hostParent);
    ~DlgMain() override;

    // --- MainWindow ---
    // Builds the window (OnInitDialog). A failure raises; the window then never deletes itself
    // and whoever created it deletes it once.
    void CreateModeless() override;
    void ShowNormal() override;
    // Unload: saves the state and destroys the window at once.
    void CloseForUnload() override;

    // The window handle handed to the host (the picker's owner) and to message boxes.
    HostWord WindowHandle() const;

    // --- commands ---
    void OnAddCommand();            // "+"
    void OnRemoveSelectedCommand(); // "-"
    void OnRemoveAllCommand();      // "--"
    void OnOpenCommand();           // "*"
    void OnReloadCommand();         // "R"
    void OnSettingsCommand();       // "S"
    void OnReportCommand();         // "->"
    void OnAboutCommand();          // "i"
    // A click on the chromatogram list; row -1 is below the last row.
    void OnListClick(int row);
    // The peak page shows the list's current chromatogram (nothing when no row is current).
    void ShowCurrentPeaks();

    // --- what the commands share ---
    void RefreshAssayList() override;
    void SaveRowMarks();
    // Shows what a command of the session did: the list, the pages, the database's error.
    void ShowResult(const CommandResult& result) { ShowCommandResult(result, *this); }
    // Closing (Enter, Escape, the close box) and Unload end in this save.
    void SaveWindowState();
    void RestoreWindowState();

    // --- parts, for the state, settings and about code and for tests ---
    DeterminationSession& Session() { return *session_; }
    const AssayCollection& Assays() const { return session_->Assays(); }
    CGridCtrl& AssayList() { return *assayList_; }
    QTabWidget& Tabs() { return *tabs_; }
    ComponentsTab& ComponentsPage() { return *componentsPage_; }
    GradTab& GradPage() { return *gradPage_; }
    CalcTab& CalcPage() { return *calcPage_; }
    MessageTab& MessagePage() { return *messageTab_; }
    ReportGenerator& Report() { return *reportGenerator_; }
    const ReadinessFlags& Flags() const { return session_->Readiness(); }
    QAbstractButton* Button(int controlId) const;

    // Closed windows whose objects are not yet deleted are deleted now (Unload).
    static void DeleteClosedWindows();

    // The minimum size of the window, pixels.
    static constexpr int kMinimumWidth = 840;
    static constexpr int kMinimumHeight = 468;

protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnInitDialog();
    void CreateControls();
    void SetUpAssayList();
    void CreatePages();
    void CreateSettingsDialog();
    // --- CommandResultView ---
    void NotifyAssayListChanged() override;
    void ClearPeakPage() override;
    void ShowRecalculation(const Recalculation& recalculation) override;
    void ShowError(std::u16string_view text) override;
    void PlaceControls();

    // Members in the order of the window's parts.
    CGridCtrl* assayList_ = nullptr;                // control 1006
    QTabWidget* tabs_ = nullptr;                    // control 1007
    std::unique_ptr<DeterminationSession> session_; // row i of the list shows its chromatogram i
    HostProfile profile_;                           // the window's saved state
    MeasurementSettings editedSettings_; // what the settings dialog edits before it is confirmed
    ComponentsTab* componentsPage_ = nullptr;
    GradTab* gradPage_ = nullptr;
    CalcTab* calcPage_ = nullptr;
    MessageTab* messageTab_ = nullptr;
    QDialog* settingsDialog_ = nullptr; // the settings dialog, a Qt child of the window
    std::unique_ptr<ReportGenerator> reportGenerator_;

    QSize templateSize_;    // the client size of template 1000 in pixels
    QRect listTemplate_;    // the list's rectangle in that size
    QRect tabsTemplate_;    // the tab control's rectangle in that size
    bool creating_ = false; // inside CreateModeless: the creator owns the object
    bool created_ = false;  // CreateModeless succeeded: the object owns itself
    bool closing_ = false;
};

// The factory the plug-in installs: the menu command builds DlgMain windows.
class DlgMainFactory final : public MainWindowFactory {
public:
    MainWindow* NewMainWindow(HostWord parent) override;
};

} // namespace sepmet
