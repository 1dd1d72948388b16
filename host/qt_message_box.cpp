#include "host/qt_message_box.h"

#include <QMessageBox>
#include <QWidget>

namespace sepmet::host {

void QtMessageBoxService::Show(std::intptr_t owner, std::u16string_view caption,
                               std::u16string_view text, MessageIcon icon) {
    const QMessageBox::Icon qtIcon = icon == MessageIcon::Error     ? QMessageBox::Critical
                                     : icon == MessageIcon::Warning ? QMessageBox::Warning
                                                                    : QMessageBox::Information;
    QMessageBox box(qtIcon, QString::fromUtf16(caption.data(), caption.size()),
                    QString::fromUtf16(text.data(), text.size()), QMessageBox::Ok,
                    reinterpret_cast<QWidget*>(owner));
    box.exec();
}

} // namespace sepmet::host
