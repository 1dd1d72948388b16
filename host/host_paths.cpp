#include "host/host_paths.h"

#include "demo/demo_database.h"
#include "platform/private_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace sepmet::host {
namespace {

QString XdgHome(const char* variable, const char* fallback) {
    const QString value = qEnvironmentVariable(variable);
    // Relative values are invalid by the XDG rules and are ignored.
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return value;
    return QDir::homePath() + QLatin1Char('/') + QLatin1String(fallback);
}

} // namespace

QString DefaultPluginFolder() {
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QString installed = QDir::cleanPath(executableFolder + "/../lib/sepmet/plugins");
#if defined(SEPMET_BUILD_BINARY_DIR) && defined(SEPMET_BUILD_PLUGIN_DIR)
    if (!QFileInfo::exists(installed)) {
        const QString build =
            QFileInfo(QStringLiteral(SEPMET_BUILD_BINARY_DIR)).canonicalFilePath();
        const QString here = QFileInfo(executableFolder).canonicalFilePath();
        if (!build.isEmpty() && (here == build || here.startsWith(build + QLatin1Char('/'))))
            return QStringLiteral(SEPMET_BUILD_PLUGIN_DIR);
    }
#endif
    return installed;
}

QString DefaultProfileFile() {
    return XdgHome("XDG_CONFIG_HOME", ".config") + QStringLiteral("/sepmet/profile.sqlite");
}

QString DemoDatabaseFile() {
    return XdgHome("XDG_DATA_HOME", ".local/share") + QStringLiteral("/sepmet/demo.sqlite");
}

QString EnsureDemoDatabase(const QString& path) {
    if (QFileInfo::exists(path))
        return {};
    const QFileInfo info(path);
    // The folder is the user's own (the audit trail lives there too): 0700 whoever makes it.
    if (const std::string error =
            CreatePrivateFolders(QFile::encodeName(info.path()).toStdString());
        !error.empty())
        return QString::fromStdString(error);
    // Written under another name and renamed, so that an interrupted run leaves no half demo.
    const QString partial = path + QStringLiteral(".part");
    const std::string error = demo::WriteDemoDatabase(partial.toStdString());
    if (!error.empty()) {
        QFile::remove(partial);
        return QString::fromStdString(error);
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return QStringLiteral("cannot rename %1 to %2").arg(partial, path);
    }
    return {};
}

} // namespace sepmet::host
