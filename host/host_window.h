#pragma once
// The host's main window: the menu bar (with the items plug-ins ask for), the chromatogram
// table of the analysis database and a status bar with the database and its counts.

#include "plugin/host_api.h"

#include <QMainWindow>
#include <functional>
#include <vector>

class QLabel;
class QTableView;

namespace sepmet::host {

class AssayTableModel;

// The event a plug-in's window posts to the host window when its chromatogram list changed.
inline constexpr int kAssayListChangedEvent = kAssayListChangedMessage;

class HostWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit HostWindow(QWidget* parent = nullptr);
    ~HostWindow() override;

    AssayTableModel& model() { return *model_; }
    QTableView& table() { return *table_; }
    QMenu& fileMenu() { return *fileMenu_; }
    QMenu& helpMenu() { return *helpMenu_; }

    // Shows `path` (the rows, the title, the status bar); false with SQLite's text in `error`.
    bool ShowDatabase(const QString& path, bool demo, QString* error = nullptr);
    void SetModuleCount(int count);
    void RefreshStatus();
    const QString& statusText() const { return statusText_; }

    // A plug-in's menu item: `path` split at "/" into menus and the final action. False for a
    // path without an action name.
    bool AddPluginMenuItem(const QString& path, std::function<void()> command);
    // Removes every plug-in menu item and the menus left empty by that.
    void RemovePluginMenuItems();
    // The action at a menu path ("Данные/Расчёты/…"), plug-in's or host's; nullptr when none.
    QAction* FindAction(const QString& path) const;

signals:
    void openDatabaseRequested();
    void modulesRequested();
    // The operator double-clicked a chromatogram of the table.
    void chromatogramRequested(const QString& fileName);
    void closing();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    AssayTableModel* model_;
    QTableView* table_;
    QMenu* fileMenu_;
    QMenu* helpMenu_;
    QLabel* status_;
    QString databasePath_;
    QString statusText_;
    int moduleCount_ = 0;
    std::vector<QAction*> pluginActions_;
    std::vector<QMenu*> pluginMenus_; // menus made for plug-in items, innermost last
};

} // namespace sepmet::host
