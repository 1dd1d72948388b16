#include "ui/win32/dlg_settings.h"

#include "platform/message_box.h"
#include "resources/strings.h"
#include "ui/win32/win32_text.h"

namespace sepmet::win32 {

DlgSettings::DlgSettings(Shown shown, Apply apply)
    : Dialog(SettingsDialogTemplate(), DialogFrame::Modal), shown_(std::move(shown)),
      apply_(std::move(apply)) {}

bool DlgSettings::OnInitDialog() {
    // A label that needs more room than the template gives gets it; the edits and buttons move
    // right by as much as the widest one needs, the dialog growing with them.
    RECT column{SettingsDialogTemplate().Find(kEditIds[0])->x - 3, 0, 0, 0};
    MapDialogRect(hwnd(), &column);
    const int shift = FitStaticTexts() - column.left;
    if (shift > 0) {
        for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (GetDlgCtrlID(child) != -1)
                MoveControl(child, shift);
        Widen(hwnd(), shift);
    }
    // Each run shows the conditions in effect: text typed in a cancelled run is gone.
    const SettingsTexts texts = shown_();
    for (std::size_t field = 0; field < kEditIds.size(); ++field)
        SetWindowText(Item(kEditIds[field]), texts[field]);
    return true; // the first tab stop (vW) takes the focus
}

bool DlgSettings::OnCommand(int id, int code) {
    if (id == kApplyId && code == BN_CLICKED) {
        OnApply();
        return true;
    }
    return Dialog::OnCommand(id, code);
}

void DlgSettings::OnApply() {
    SettingsTexts texts;
    for (std::size_t field = 0; field < kEditIds.size(); ++field)
        texts[field] = WindowText(Item(kEditIds[field]));
    const std::optional<SettingsRefusal> refusal = apply_(texts);
    if (!refusal) {
        End(IDOK);
        return;
    }
    const auto owner = reinterpret_cast<std::intptr_t>(hwnd());
    const HWND edit = Item(kEditIds[refusal->field]);
    if (refusal->reason == SettingsRefusal::Reason::Empty) {
        // The text names three fields; the check covers all five.
        ShowMessageBox(owner, LoadString(StringId::SettingsWarningCaption),
                       LoadString(StringId::SettingsFillAll), MessageIcon::Warning);
    } else {
        ShowMessageBox(owner, LoadString(StringId::SettingsErrorCaption),
                       LoadString(StringId::SettingsNotNumber), MessageIcon::Error);
        SendMessageW(edit, EM_SETSEL, 0, -1);
    }
    // The dialog stays open with the texts as typed, the refused field in focus.
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
}

} // namespace sepmet::win32
