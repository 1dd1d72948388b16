#include "ui/dlg_settings.h"

#include "platform/message_box.h"
#include "qtsupport/qt_text.h"
#include "resources/dialog_templates.h"
#include "resources/strings.h"
#include "session/condition_text.h"
#include "ui/dialog_units.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>

namespace sepmet {
namespace {

constexpr int kApplyId = 1016;
constexpr int kCancelId = 2;
// The edits in the order of the fields vW, vG, rhoG, atmP, gasT.
constexpr std::array<int, 5> kEditIds{1017, 1019, 1018, 1020, 1021};

} // namespace

DlgSettings::DlgSettings(QWidget* parent, MeasurementSettings& settings)
    : QDialog(parent), settings_(settings) {
    const DialogTemplate& dialog = SettingsDialogTemplate();
    const DialogUnits& units = ApplicationDialogUnits();
    setWindowTitle(ToQString(dialog.caption));
    setFixedSize(units.ToPixels(QSize(dialog.width, dialog.height)));

    // Widgets in template order, which is also the tab order.
    for (const DialogControl& control : dialog.controls) {
        QWidget* widget = nullptr;
        switch (control.kind) {
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(this);
            for (std::size_t field = 0; field < kEditIds.size(); ++field)
                if (kEditIds[field] == control.id)
                    edits_[field] = edit;
            widget = edit;
            break;
        }
        case ControlKind::PushButton: {
            auto* button = new QPushButton(ToQString(control.text), this);
            button->setAutoDefault(false); // neither button is a default button
            if (control.id == kApplyId)
                connect(button, &QPushButton::clicked, this, &DlgSettings::Apply);
            else if (control.id == kCancelId)
                connect(button, &QPushButton::clicked, this, &QDialog::reject);
            widget = button;
            break;
        }
        default:
            widget = new QLabel(ToQString(control.text), this);
            break;
        }
        if (control.id >= 0)
            widget->setObjectName(QStringLiteral("control%1").arg(control.id));
        widget->setGeometry(units.ToPixels(control.x, control.y, control.width, control.height));
    }
    FitLabels(units);
}

void DlgSettings::FitLabels(const DialogUnits& units) {
    // The template's label widths were measured for another dialog font. A label that needs
    // more room gets it, and the edits and buttons move right by as much as the widest one
    // needs, the dialog growing with them: no label is cut short.
    const int column = units.X(SettingsDialogTemplate().Find(1017)->x);
    int labelsRight = 0;
    for (QLabel* label : findChildren<QLabel*>()) {
        label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
        labelsRight = std::max(labelsRight, label->geometry().right() + 1);
    }
    const int shift = std::max(0, labelsRight + units.X(3) - column);
    if (shift == 0)
        return;
    for (QWidget* widget : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!qobject_cast<QLabel*>(widget))
            widget->move(widget->x() + shift, widget->y());
    setFixedSize(width() + shift, height());
}

QLineEdit* DlgSettings::Edit(int controlId) const {
    for (std::size_t field = 0; field < kEditIds.size(); ++field)
        if (kEditIds[field] == controlId)
            return edits_[field];
    return nullptr;
}

void DlgSettings::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return; // the window system showing it again, not a new run
    // Each run shows the conditions in effect: text typed in a cancelled run is gone.
    Fill();
    edits_[0]->setFocus(Qt::TabFocusReason);
    edits_[0]->selectAll();
}

void DlgSettings::Fill() {
    const ConditionTexts texts = ConditionDisplayTexts(settings_);
    for (std::size_t field = 0; field < texts.size(); ++field)
        edits_[field]->setText(ToQString(texts[field]));
}

void DlgSettings::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier) {
        // Enter presses the focused button; in an edit it applies, so that what was typed is
        // read and checked rather than the dialog ending with the conditions unchanged.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else
            Apply();
        return;
    }
    QDialog::keyPressEvent(event);
}

std::intptr_t DlgSettings::OwnerWord() {
    return reinterpret_cast<std::intptr_t>(static_cast<QWidget*>(this));
}

void DlgSettings::Apply() {
    ConditionTexts texts;
    for (std::size_t field = 0; field < texts.size(); ++field)
        texts[field] = edits_[field]->text().toStdU16String();
    // The fields are taken over only when all five are numbers: a refused Apply changes
    // nothing, even if the operator then cancels.
    const ConditionCheck check = CheckConditionTexts(texts);
    auto refused = [&](RefusedCondition::Reason reason) -> QLineEdit* {
        for (const RefusedCondition& r : check.refused)
            if (r.reason == reason)
                return edits_[static_cast<std::size_t>(r.field)];
        return nullptr;
    };
    if (QLineEdit* empty = refused(RefusedCondition::Reason::Empty)) {
        // The text names three fields; the check covers all five.
        ShowMessageBox(OwnerWord(), LoadString(StringId::SettingsWarningCaption),
                       LoadString(StringId::SettingsFillAll), MessageIcon::Warning);
        empty->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (QLineEdit* notNumber = refused(RefusedCondition::Reason::NotNumber)) {
        ShowMessageBox(OwnerWord(), LoadString(StringId::SettingsErrorCaption),
                       LoadString(StringId::SettingsNotNumber), MessageIcon::Error);
        notNumber->setFocus(Qt::OtherFocusReason);
        notNumber->selectAll();
        return;
    }
    settings_ = check.values;
    accept();
}

} // namespace sepmet
