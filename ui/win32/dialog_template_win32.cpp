#include "ui/win32/dialog_template_win32.h"

#include <cstring>
#include <string_view>

namespace sepmet::win32 {
namespace {

// Appends WORDs, DWORDs and texts to a byte image and aligns it as the template format asks.
class TemplateWriter {
public:
    void Word(WORD value) { Append(&value, sizeof value); }
    void Dword(DWORD value) { Append(&value, sizeof value); }
    void Short(short value) { Append(&value, sizeof value); }
    void Text(std::u16string_view text) {
        Append(text.data(), text.size() * sizeof(char16_t));
        Word(0);
    }
    void Text(const wchar_t* text) {
        Text(std::u16string_view(reinterpret_cast<const char16_t*>(text)));
    }
    void AlignDword() {
        while (bytes_.size() % 4 != 0)
            bytes_.push_back(0);
    }
    const std::vector<unsigned char>& bytes() const { return bytes_; }

private:
    void Append(const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
    }
    std::vector<unsigned char> bytes_;
};

DWORD FrameStyle(DialogFrame frame) {
    constexpr DWORD kFont = DS_SETFONT;
    switch (frame) {
    case DialogFrame::MainWindow:
        return kFont | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
               WS_MAXIMIZEBOX;
    case DialogFrame::Modal:
        return kFont | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    case DialogFrame::ChildPage:
        return kFont | DS_CONTROL | WS_CHILD;
    }
    return kFont;
}

} // namespace

ControlClass ClassOf(ControlKind kind) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    switch (kind) {
    case ControlKind::IconButton:
        return {L"Button", kChild | WS_TABSTOP | BS_PUSHBUTTON | BS_ICON};
    case ControlKind::PushButton:
        return {L"Button", kChild | WS_TABSTOP | BS_PUSHBUTTON};
    case ControlKind::DefaultPushButton:
        return {L"Button", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON};
    case ControlKind::Edit:
        return {L"Edit", kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL};
    case ControlKind::ReadOnlyText:
        return {L"Edit", kChild | WS_TABSTOP | ES_MULTILINE | ES_READONLY};
    case ControlKind::Static:
        return {L"Static", kChild | SS_LEFT};
    case ControlKind::Icon:
        return {L"Static", kChild | SS_ICON};
    case ControlKind::ListView:
        // Report view, several rows selectable, the selection kept visible without the focus.
        return {WC_LISTVIEWW, kChild | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS};
    case ControlKind::TabControl:
        return {WC_TABCONTROLW, kChild | WS_TABSTOP | WS_CLIPSIBLINGS};
    case ControlKind::ListBox:
        // Unsorted, no selection, a vertical scroll bar and a border.
        return {L"ListBox", kChild | WS_VSCROLL | WS_BORDER | LBS_NOSEL | LBS_NOINTEGRALHEIGHT};
    }
    return {L"Static", kChild};
}

DialogTemplateBuffer::DialogTemplateBuffer(const DialogTemplate& dialog, DialogFrame frame) {
    TemplateWriter out;
    out.Word(1);      // dlgVer
    out.Word(0xFFFF); // signature: DLGTEMPLATEEX
    out.Dword(0);     // helpID
    out.Dword(0);     // exStyle
    out.Dword(FrameStyle(frame));
    out.Word(static_cast<WORD>(dialog.controls.size()));
    out.Short(0); // x, y: the window places itself
    out.Short(0);
    out.Short(static_cast<short>(dialog.width));
    out.Short(static_cast<short>(dialog.height));
    out.Word(0); // no menu
    out.Word(0); // the dialog class
    out.Text(dialog.caption);
    out.Word(8);   // point size
    out.Word(400); // weight
    out.Word(0);   // italic, charset
    out.Text(u"MS Shell Dlg");
    for (const DialogControl& control : dialog.controls) {
        out.AlignDword();
        const ControlClass kind = ClassOf(control.kind);
        out.Dword(0); // helpID
        out.Dword(0); // exStyle
        out.Dword(kind.style);
        out.Short(static_cast<short>(control.x));
        out.Short(static_cast<short>(control.y));
        out.Short(static_cast<short>(control.width));
        out.Short(static_cast<short>(control.height));
        out.Dword(static_cast<DWORD>(control.id)); // -1: a static without id
        out.Text(kind.className);
        out.Text(control.text); // an icon button keeps its text for tests and screen readers
        out.Word(0);            // no creation data
    }
    const std::vector<unsigned char>& bytes = out.bytes();
    words_.resize((bytes.size() + 3) / 4);
    std::memcpy(words_.data(), bytes.data(), bytes.size());
}

} // namespace sepmet::win32
