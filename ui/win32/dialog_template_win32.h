#pragma once
// Dialog templates for the dialog manager, built in memory from the template data of
// resources/ (the same data the Qt window lays out), so both front ends share one source.

#include "resources/dialog_templates.h"
#include "ui/win32/windows_api.h"

#include <vector>

namespace sepmet::win32 {

// How the dialog itself is framed; the controls come from the template data.
enum class DialogFrame {
    MainWindow, // pop-up, caption, system menu, minimize and maximize boxes, modal frame
    Modal,      // pop-up, caption, system menu, modal frame
    ChildPage,  // child without caption, a page inside a tab control
};

// The window class and styles a control kind is created with (WS_CHILD | WS_VISIBLE included).
struct ControlClass {
    const wchar_t* className;
    DWORD style;
};
ControlClass ClassOf(ControlKind kind);

// A DLGTEMPLATEEX with its DLGITEMTEMPLATEEX entries in template (tab) order, font
// "MS Shell Dlg" 8 pt, ready for CreateDialogIndirectParamW / DialogBoxIndirectParamW.
// Held in DWORDs so that the start is aligned as the dialog manager requires.
class DialogTemplateBuffer {
public:
    DialogTemplateBuffer(const DialogTemplate& dialog, DialogFrame frame);
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    std::vector<DWORD> words_;
};

} // namespace sepmet::win32
