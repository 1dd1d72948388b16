#pragma once
// The little of a framework dialog the windows need: a dialog from a template built in memory,
// modeless or modal, virtual handlers for its messages, notifications reflected to the control
// that sent them, and a resize layout for its controls.

#include "ui/win32/dialog_template_win32.h"
#include "ui/win32/windows_api.h"

#include <optional>
#include <vector>

namespace sepmet::win32 {

// The module that holds the window resources (icons, manifest): the plug-in or the test program.
HINSTANCE ResourceModule();

// A control that handles the notifications it sends to its parent itself (the list view's
// custom draw, double click, column click): the dialog asks it first.
class NotifyReflector {
public:
    virtual std::optional<LRESULT> OnReflectedNotify(NMHDR* header) = 0;
    // Registers `control` as handled by `reflector` (a window property, gone with the window).
    static void Attach(HWND control, NotifyReflector* reflector);

protected:
    ~NotifyReflector() = default;
};

class Dialog {
public:
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();

    HWND hwnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

    // A modeless window (the main window, a page); false when the dialog manager refused.
    bool Create(HWND parent);
    // A modal run with its own message loop; the result given to EndDialog (IDOK, IDCANCEL),
    // or -1 when the window could not be created.
    INT_PTR RunModal(HWND owner);

protected:
    Dialog(const DialogTemplate& dialog, DialogFrame frame);

    // After the controls exist; true lets the dialog manager set the focus.
    virtual bool OnInitDialog() { return true; }
    // WM_COMMAND; true when handled.
    virtual bool OnCommand(int id, int code);
    // WM_NOTIFY not handled by a reflecting control; the result, or nothing for the default.
    virtual std::optional<LRESULT> OnNotify(NMHDR*) { return std::nullopt; }
    // Any other message; the result, or nothing for the default.
    virtual std::optional<LRESULT> OnMessage(UINT, WPARAM, LPARAM) { return std::nullopt; }
    virtual void OnOK() { End(IDOK); }
    virtual void OnCancel() { End(IDCANCEL); }
    // After the window is gone (WM_NCDESTROY); a modeless owner may delete itself here.
    virtual void PostNcDestroy() {}

    // Ends a modal run with `result`, or destroys a modeless window.
    void End(int result);

    // Resize rule of a control: when the client area changes by (dx, dy) the control moves by
    // (dx * moveX / 100, dy * moveY / 100) and grows by (dx * sizeX / 100, dy * sizeY / 100).
    void AddLayout(int id, int moveX, int moveY, int sizeX, int sizeY);

    // The template's text widths were measured for another dialog font: every static text that
    // needs more room is widened to its text. Answers the rightmost edge of the static texts.
    int FitStaticTexts();
    // Moves the control by dx pixels.
    void MoveControl(HWND control, int dx);
    // Grows the control, or the dialog itself when `control` is the dialog, by dx pixels.
    void Widen(HWND window, int dx);

    const DialogTemplate& dialogTemplate() const { return template_; }

private:
    static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyLayout();

    struct LayoutRule {
        int id;
        RECT start; // in the dialog's client coordinates when the rule was added
        int moveX, moveY, sizeX, sizeY;
    };

    const DialogTemplate& template_;
    DialogTemplateBuffer buffer_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    SIZE startClient_{};
    std::vector<LayoutRule> layout_;
};

} // namespace sepmet::win32
