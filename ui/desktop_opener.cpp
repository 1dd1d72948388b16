#include "ui/desktop_opener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace sepmet {

void DesktopOpener::Open(const std::string& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

} // namespace sepmet
