#pragma once
// Dialog templates as data: each control with its id, kind, text and rectangle in dialog units,
// in template (tab) order. The user interface converts the rectangles to pixels (DialogUnits)
// and builds the widgets from them.

#include <span>

namespace sepmet {

enum class ControlKind {
    IconButton, // push button that shows a 16 x 16 icon; its text is not displayed
    PushButton,
    DefaultPushButton,
    Edit,         // single-line edit, bordered tab stop, horizontal auto-scroll
    ReadOnlyText, // multi-line read-only edit without border, tab stop
    Static,       // static text
    Icon,         // static icon
    ListView,     // grid control (report view)
    TabControl,
    ListBox,
};

struct DialogControl {
    int id; // -1: a static without id
    ControlKind kind;
    const char16_t* text;
    int x, y, width, height;
};

struct DialogTemplate {
    int id;
    const char16_t* caption; // empty for child pages
    int width, height;
    std::span<const DialogControl> controls;

    // The control with that id; nullptr when the template has none.
    const DialogControl* Find(int controlId) const {
        for (const DialogControl& control : controls)
            if (control.id == controlId)
                return &control;
        return nullptr;
    }
};

// The templates, each defined in a source file of its own next to its data
// (resources/dialog_template_<id>.cpp).
const DialogTemplate& MainDialogTemplate();     // 1000
const DialogTemplate& ComponentsPageTemplate(); // 1011
const DialogTemplate& MessagePageTemplate();    // 1015
const DialogTemplate& GradPageTemplate();       // 1017
const DialogTemplate& SettingsDialogTemplate(); // 1020
const DialogTemplate& CalcPageTemplate();       // 1024
const DialogTemplate& AboutDialogTemplate();    // 1028

} // namespace sepmet
