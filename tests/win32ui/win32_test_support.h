#pragma once
// Driving the real dialogs as an operator would, under Wine: a modal run with a script that
// acts inside its message loop, clicks by control id, texts of list views and list boxes, and
// screenshots written as PNG.

#include "ui/win32/windows_api.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sepmet::testing {

// Runs `run` (which shows a modal dialog and returns its result) and, once the dialog's loop
// runs, calls `script` with the dialog. `script` must end the dialog (a click, a close); if the
// dialog is still open a moment after it (posted keys are handled by the dialog's own loop), the
// run ends it with IDABORT and `stayedOpen` is set.
struct ModalOutcome {
    INT_PTR result = 0;
    bool stayedOpen = false;
};
ModalOutcome DriveModal(const std::function<INT_PTR()>& run,
                        const std::function<void(HWND dialog)>& script);

// BM_CLICK on the button with that control id.
void Click(HWND dialog, int id);
// A key pressed and released on `target`, posted as the keyboard would (the dialog's loop sees
// it, so Enter, Escape and Tab work as for an operator).
void PressKey(HWND target, UINT key);
// Dispatches the messages that are waiting (painting, posted notifications).
void PumpMessages();

std::u16string Text(HWND window);
void SetText(HWND window, std::u16string_view text);
// LVM_GETITEMTEXTW of every cell, row by row.
std::vector<std::vector<std::u16string>> ListViewRows(HWND listView);
// LB_GETTEXT of every line.
std::vector<std::u16string> ListBoxLines(HWND listBox);
// The control's rectangle in the dialog's client coordinates.
RECT ClientRectOf(HWND dialog, HWND control);

// Nothing cut off: every static text and text button of `dialog` holds its text in the dialog's
// font, and every control lies inside the dialog's client area. Adds a failure per fault.
void ExpectTextsFit(HWND dialog);

// Writes the window as it is on the screen to build/screenshots/windows-<name>.png (with
// "-144dpi" before ".png" at 144 dots per inch); false when it could not.
bool WriteScreenshot(HWND window, std::string_view name);

} // namespace sepmet::testing
