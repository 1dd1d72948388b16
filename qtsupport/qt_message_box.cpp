#include "qtsupport/qt_message_box.h"

#include "qtsupport/qt_text.h"

#include <QMessageBox>
#include <QWidget>

namespace sepmet {

void QtMessageBoxService::Show(std::intptr_t owner, std::u16string_view caption,
                               std::u16string_view text, MessageIcon icon) {
    const QMessageBox::Icon shown = icon == MessageIcon::Error     ? QMessageBox::Critical
                                    : icon == MessageIcon::Warning ? QMessageBox::Warning
                                                                   : QMessageBox::Information;
    QMessageBox box(shown, ToQString(caption), ToQString(text), QMessageBox::Ok,
                    reinterpret_cast<QWidget*>(owner));
    box.exec();
}

} // namespace sepmet
