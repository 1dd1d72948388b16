// sepmet-host: the chromatography data system host that loads the sepmet plug-in.

#include "host/host_options.h"
#include "host/host_paths.h"
#include "host/host_session.h"
#include "host/host_window.h"
#include "host/quit_signals.h"
#include "qtsupport/qt_message_box.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace sepmet::host;

// The database named by the command line, the one opened last, or the operator's choice; the
// empty text when there is none.
QString ChooseDatabase(const HostOptions& options, bool& demo) {
    if (options.demo) {
        const QString path = DemoDatabaseFile();
        const QString error = EnsureDemoDatabase(path);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "sepmet-host: the demo database was not written: %s\n",
                         error.toLocal8Bit().constData());
            return {};
        }
        demo = true;
        return path;
    }
    if (options.database)
        return QString::fromStdString(*options.database);
    const QString last = QSettings().value(QStringLiteral("lastDatabase")).toString();
    if (!last.isEmpty() && QFileInfo::exists(last))
        return last;
    return QFileDialog::getOpenFileName(
        nullptr, QStringLiteral("Открыть базу"), QString(),
        QStringLiteral("Базы хроматограмм (*.sqlite *.db *.sqlite3);;Все файлы (*)"));
}

} // namespace

int main(int argc, char** argv) {
    const HostOptions options = ParseHostOptions(std::vector<std::string>(argv, argv + argc));
    if (!options.error.empty()) {
        std::fprintf(stderr, "sepmet-host: %s\nTry 'sepmet-host --help'.\n", options.error.c_str());
        return 2;
    }
    // Both answered before any window-system object exists, so they work without a display.
    if (options.help) {
        std::fputs(HostUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("sepmet-host %s\n", SEPMET_VERSION);
        return 0;
    }

    std::vector<std::string> passOn = options.passOn;
    std::vector<char*> qtArguments;
    for (std::string& argument : passOn)
        qtArguments.push_back(argument.data());
    qtArguments.push_back(nullptr);
    int qtCount = static_cast<int>(passOn.size());
    QApplication::setOrganizationName(QStringLiteral("sepmet"));
    QApplication::setApplicationName(QStringLiteral("sepmet-host"));
    QApplication::setApplicationVersion(QStringLiteral(SEPMET_VERSION));
    QApplication application(qtCount, qtArguments.data());
    // The plug-in's window is not the last one to matter: the host ends with its own window.
    application.setQuitOnLastWindowClosed(false);
    const QStringList rest = application.arguments().mid(1);
    if (!rest.isEmpty()) {
        std::fprintf(stderr, "sepmet-host: unknown argument %s\nTry 'sepmet-host --help'.\n",
                     rest.front().toLocal8Bit().constData());
        return 2;
    }

    sepmet::QtMessageBoxService messageBoxes;
    sepmet::SetMessageBoxService(&messageBoxes);

    bool demo = false;
    const QString database = ChooseDatabase(options, demo);
    if (database.isEmpty()) {
        std::fprintf(stderr, "sepmet-host: no analysis database chosen\n");
        sepmet::SetMessageBoxService(nullptr);
        return options.demo ? 1 : 0;
    }

    SessionSettings settings;
    settings.database = QFileInfo(database).absoluteFilePath();
    settings.demo = demo;
    settings.profileFile =
        options.profile ? QString::fromStdString(*options.profile) : DefaultProfileFile();
    settings.pluginFolder =
        options.plugins ? QString::fromStdString(*options.plugins) : DefaultPluginFolder();

    int status = 0;
    {
        HostSession session(settings);
        QString error;
        if (!session.Start(&error)) {
            std::fprintf(stderr, "sepmet-host: the database cannot be read: %s\n",
                         error.toLocal8Bit().constData());
            status = 1;
        } else {
            if (!demo)
                QSettings().setValue(QStringLiteral("lastDatabase"), DatabaseKey(database));
            QObject::connect(&session, &HostSession::quitRequested, &application,
                             &QCoreApplication::quit, Qt::QueuedConnection);
            // A signal ends the host the way closing its window does.
            QuitSignals quitSignals([&session] {
                if (session.window())
                    session.window()->close();
            });
            // The menu item runs from the event loop, as if the operator had chosen it.
            if (options.open)
                QTimer::singleShot(0, &session, [&session, &options] {
                    if (!session.ChooseMenuItem(QString::fromStdString(*options.open)))
                        std::fprintf(stderr, "sepmet-host: no menu item %s\n",
                                     options.open->c_str());
                });
            application.exec();
            // Plug-in windows closed and their state saved (Unload), then the host window,
            // dlclose and the profile, all before the application object goes.
            session.Shutdown();
        }
    }
    sepmet::SetMessageBoxService(nullptr);
    return status;
}
