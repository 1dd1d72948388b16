#pragma once
// DlgMain: the plug-in's main window. A modeless top-level dialog over the host window that owns
// the chromatograms of one determination, shows them in a list, offers eight command buttons and
// the four result pages, and ends every change of the list in the same recalculation.

#include "calc/input_check.h"
#include "data/assay_collection.h"
#include "plugin/host_api.h"
#include "plugin/main_window.h"

#include <QDialog>
#include <QRect>
#include <memory>

class QAbstractButton;
class QTabWidget;

namespace DataBase {
class SqlException;
}

namespace sepmet {

class CGridCtrl;
class ComponentsTab;
class GradTab;
class CalcTab;
class MessageTab;
class ReportGenerator;

class DlgMain final : public QDialog, public MainWindow {
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

    // --- what the commands share ---
    void RefreshAssayList();
    void NotifyHost();
    void SaveRowMarks();
    void Recalculate();
    // Closing (Enter, Escape, the close box) and Unload end in this save.
    void SaveWindowState();
    void RestoreWindowState();

    // --- parts, for the state, settings and about code and for tests ---
    AssayCollection& Assays() { return assays_; }
    CGridCtrl& AssayList() { return *assayList_; }
    QTabWidget& Tabs() { return *tabs_; }
    ComponentsTab& ComponentsPage() { return *componentsPage_; }
    GradTab& GradPage() { return *gradPage_; }
    CalcTab& CalcPage() { return *calcPage_; }
    MessageTab& MessagePage() { return *messageTab_; }
    ReportGenerator& Report() { return *reportGenerator_; }
    const ReadinessFlags& Flags() const { return flags_; }
    QAbstractButton* Button(int controlId) const;

    // Closed windows whose objects are not yet deleted are deleted now (Unload).
    static void DeleteClosedWindows();

    // The minimum size of the window, pixels.
    static constexpr int kMinimumWidth = 840;
    static constexpr int kMinimumHeight = 468;

protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnInitDialog();
    void CreateControls();
    void SetUpAssayList();
    void CreatePages();
    void CreateSettingsDialog();
    void RemoveAssays(bool all);
    void AfterRemove();
    void ShowDatabaseError(const DataBase::SqlException& error);
    void PlaceControls();

    // Members in the order of the window's parts.
    CGridCtrl* assayList_ = nullptr; // control 1006
    QTabWidget* tabs_ = nullptr;     // control 1007
    AssayCollection assays_;         // row i of the list shows assays_[i]; never sorted
    ComponentsTab* componentsPage_ = nullptr;
    GradTab* gradPage_ = nullptr;
    CalcTab* calcPage_ = nullptr;
    MessageTab* messageTab_ = nullptr;  // holds the process-wide message log
    QDialog* settingsDialog_ = nullptr; // the settings dialog, a Qt child of the window
    std::unique_ptr<ReportGenerator> reportGenerator_;
    ReadinessFlags flags_;

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
