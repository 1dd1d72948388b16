#include "ui/qt_message_box.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace sepmet {
namespace {

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void QtMessageBoxService::Show(std::intptr_t owner, std::u16string_view caption,
                               std::u16string_view text, MessageIcon icon) {
    const QMessageBox::Icon shown = icon == MessageIcon::Error     ? QMessageBox::Critical
                                    : icon == MessageIcon::Warning ? QMessageBox::Warning
                                                                   : QMessageBox::Information;
    QMessageBox box(shown, ToQString(caption), ToQString(text), QMessageBox::Ok,
                    reinterpret_cast<QWidget*>(owner));
    box.exec();
}

bool DesktopOpener::Open(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

} // namespace sepmet
