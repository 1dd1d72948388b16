#include "ui/desktop_opener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace sepmet {

bool DesktopOpener::Open(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

} // namespace sepmet
