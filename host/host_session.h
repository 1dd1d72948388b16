#pragma once
// One run of the host: the host table with its built-in services, the profile store, the
// plug-ins of the plug-in folder and the host window, started and ended in the order the
// plug-ins rely on.
//
//     HostSession session({database, profileFile, pluginFolder, demo});
//     session.Start();                      // window shown, plug-ins loaded, event fired
//     session.ChooseMenuItem("Данные/Расчёты/Метанол в газе сепарации");
//     ...
//     session.Shutdown();                   // Unload (plug-in windows closed), dlclose

#include "host/host_table.h"
#include "host/plugin_set.h"

#include <QObject>
#include <QString>
#include <QTranslator>
#include <deque>
#include <memory>
#include <string>

namespace sepmet::host {

class HostWindow;
class ProfileStore;

struct SessionSettings {
    QString database;     // the analysis database file
    QString profileFile;  // the profile store
    QString pluginFolder; // where the plug-ins are
    bool demo = false;    // the demo database: the title says so
};

class HostSession : public QObject {
    Q_OBJECT

public:
    explicit HostSession(SessionSettings settings, QObject* parent = nullptr);
    ~HostSession() override; // Shutdown

    // Opens the profile store (a message box when it cannot be opened: the profile services
    // then stay missing), shows the host window with the database, opens and loads the
    // plug-ins and fires "System/ModulesLoaded". False, with the reason, when the database
    // cannot be shown.
    bool Start(QString* error = nullptr);
    // Runs the action at the menu path; false when there is none.
    bool ChooseMenuItem(const QString& path);
    // Switches to another analysis database: the plug-ins are unloaded (their windows closed,
    // their state saved), the location changes, and they are loaded again. The old location
    // text stays valid. False, with the database left as it was, when `path` cannot be read.
    bool SwitchDatabase(const QString& path, QString* error = nullptr);
    // Unload while the host window still exists, then the window, then dlclose and the
    // profile store. Runs once; later calls do nothing.
    void Shutdown();
    // The viewer of the chromatogram with that file name; false (with a message box) when the
    // database has none.
    bool OpenChromatogram(const QString& fileName);

    HostTable& table() { return table_; }
    PluginSet& plugins() { return plugins_; }
    HostWindow* window() { return window_.get(); }
    ProfileStore* profile() { return profile_.get(); }
    const SessionSettings& settings() const { return settings_; }

signals:
    // The operator asked the host to end (window closed, Ctrl+Q).
    void quitRequested();

private:
    void OfferServices();
    void AnnounceLocation(const QString& path);
    void ShowModules();
    void AskForDatabase();
    // Commits the profile's current save; tells the operator once when it was not kept.
    void EndProfileSave();

    bool IsDemoDatabase(const QString& path) const;

    SessionSettings settings_;
    QString demoDatabase_; // the key of the demo database this session started on, if any
    HostTable table_;
    std::unique_ptr<ProfileStore> profile_;
    PluginSet plugins_;
    std::unique_ptr<HostWindow> window_;
    // Qt's Russian texts for the host's dialogs and menus and the plug-ins' (installed by Start
    // unless the application has a translation already, removed by Shutdown).
    std::unique_ptr<QTranslator> qtTranslations_;
    // Every location announced through "DB/GetConnectionUri", kept for the whole run: a
    // plug-in may read the text until it is unloaded.
    std::deque<std::u16string> locations_;
    bool started_ = false;
    bool ended_ = false;
};

// The profile key that selects one database's set of values: the absolute path.
QString DatabaseKey(const QString& path);

} // namespace sepmet::host
