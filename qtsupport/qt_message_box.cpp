#include "qtsupport/qt_message_box.h"

#include "qtsupport/qt_text.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QWidget>

namespace sepmet {
namespace {

// Room the window frame's title bar takes beside the caption: its icon and three buttons.
constexpr int kTitleBarRoom = 160;

// A box as wide as its text only cuts a longer caption off in the title bar: a spacer under
// the text keeps it wide enough for the whole caption (measured in bold, as title bars show it).
void WidenForCaption(QMessageBox& box) {
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarRoom;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

void QtMessageBoxService::Show(std::intptr_t owner, std::u16string_view caption,
                               std::u16string_view text, MessageIcon icon) {
    const QMessageBox::Icon shown = icon == MessageIcon::Error     ? QMessageBox::Critical
                                    : icon == MessageIcon::Warning ? QMessageBox::Warning
                                                                   : QMessageBox::Information;
    QMessageBox box(shown, ToQString(caption), ToQString(text), QMessageBox::Ok,
                    reinterpret_cast<QWidget*>(owner));
    WidenForCaption(box);
    box.exec();
}

bool QtMessageBoxService::AskYesNo(std::intptr_t owner, std::u16string_view caption,
                                   std::u16string_view text) {
    QMessageBox box(QMessageBox::Question, ToQString(caption), ToQString(text),
                    QMessageBox::Yes | QMessageBox::No, reinterpret_cast<QWidget*>(owner));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    WidenForCaption(box);
    return box.exec() == QMessageBox::Yes;
}

} // namespace sepmet
