#include "ui/dlg_about.h"

#include "qtsupport/qt_text.h"
#include "resources/dialog_templates.h"
#include "resources/strings.h"
#include "ui/dialog_units.h"
#include "ui/icons.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>

namespace sepmet {
namespace {

constexpr int kIconId = 1020;
constexpr int kTextId = 1021;
constexpr int kPictureSize = 80; // pixels, whatever the dialog font

} // namespace

DlgAbout::DlgAbout(QWidget* parent) : QDialog(parent) {
    const DialogTemplate& dialog = AboutDialogTemplate();
    const DialogUnits& units = ApplicationDialogUnits();
    setWindowTitle(ToQString(dialog.caption));
    setFixedSize(units.ToPixels(QSize(dialog.width, dialog.height)));
    setWindowIcon(WindowIcon());

    for (const DialogControl& control : dialog.controls) {
        const QRect rect = units.ToPixels(control.x, control.y, control.width, control.height);
        QWidget* widget = nullptr;
        switch (control.kind) {
        case ControlKind::DefaultPushButton: {
            auto* button = new QPushButton(ToQString(control.text), this);
            button->setDefault(true);
            connect(button, &QPushButton::clicked, this, &QDialog::accept);
            okButton_ = widget = button;
            break;
        }
        case ControlKind::Icon: {
            // Icon 1027 again, drawn at 80 x 80 from the top-left corner of its control.
            auto* picture = new QLabel(this);
            picture->setPixmap(WindowIcon().pixmap(kPictureSize, kPictureSize));
            picture->setGeometry(QRect(rect.topLeft(), QSize(kPictureSize, kPictureSize)));
            picture->setObjectName(QStringLiteral("control%1").arg(kIconId));
            continue;
        }
        case ControlKind::ReadOnlyText: {
            text_ = new QPlainTextEdit(this);
            text_->setReadOnly(true);
            text_->setFrameShape(QFrame::NoFrame);
            text_->setFocusPolicy(Qt::StrongFocus);
            text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            text_->setBackgroundRole(QPalette::Window); // a read-only edit on the dialog's face
            text_->viewport()->setAutoFillBackground(false);
            text_->setPlainText(ToQString(LoadString(StringId::AboutStandard)));
            widget = text_;
            break;
        }
        default: {
            auto* label = new QLabel(ToQString(control.text), this);
            widget = label;
            break;
        }
        }
        widget->setObjectName(QStringLiteral("control%1").arg(control.id));
        widget->setGeometry(rect);
    }
    FitTexts(units);
}

void DlgAbout::FitTexts(const DialogUnits& units) {
    // The template's text widths were measured for another dialog font: a text that needs more
    // room gets it, and the dialog widens to keep its right margin, the OK button and the
    // standard's text following.
    int textsRight = 0;
    for (QLabel* label : findChildren<QLabel*>()) {
        if (!label->pixmap().isNull())
            continue;
        label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
        textsRight = std::max(textsRight, label->geometry().right() + 1);
    }
    const int growth = std::max(0, textsRight + units.X(7) - width());
    if (growth == 0)
        return;
    okButton_->move(okButton_->x() + growth, okButton_->y());
    text_->resize(text_->width() + growth, text_->height());
    setFixedSize(width() + growth, height());
}

QString DlgAbout::text() const {
    return text_->toPlainText();
}

void DlgAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        okButton_->setFocus(Qt::TabFocusReason); // the first tab stop
}

} // namespace sepmet
