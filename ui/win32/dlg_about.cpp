#include "ui/win32/dlg_about.h"

#include "resources/strings.h"
#include "ui/win32/icons.h"
#include "ui/win32/win32_text.h"

namespace sepmet::win32 {
namespace {

constexpr int kPictureId = 1020;
constexpr int kStandardTextId = 1021;
constexpr int kPictureSize = 80; // pixels at 96 DPI

} // namespace

DlgAbout::DlgAbout() : Dialog(AboutDialogTemplate(), DialogFrame::Modal) {}

bool DlgAbout::OnInitDialog() {
    SetWindowIcons(hwnd());
    // The picture is drawn at 80 x 80 at 96 DPI and grows with the dots per inch, as the
    // dialog's own units do.
    const int size = ScaleForWindow(hwnd(), kPictureSize);
    picture_ =
        static_cast<HICON>(LoadImageW(ResourceModule(), MAKEINTRESOURCEW(IconResource::Window),
                                      IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    SendDlgItemMessageW(hwnd(), kPictureId, STM_SETICON, reinterpret_cast<WPARAM>(picture_), 0);
    SetWindowText(Item(kStandardTextId), LoadString(StringId::AboutStandard));
    // A text that needs more room than the template gives gets it; the dialog widens to keep
    // its right margin, the OK button and the standard's text following.
    RECT margin{7, 0, 0, 0};
    MapDialogRect(hwnd(), &margin);
    RECT client;
    GetClientRect(hwnd(), &client);
    const int growth = FitStaticTexts() + margin.left - client.right;
    if (growth > 0) {
        Widen(hwnd(), growth);
        MoveControl(Item(IDOK), growth);
        Widen(Item(kStandardTextId), growth);
    }
    return true; // the first tab stop takes the focus
}

std::optional<LRESULT> DlgAbout::OnMessage(UINT message, WPARAM, LPARAM) {
    if (message == WM_DESTROY && picture_) {
        SendDlgItemMessageW(hwnd(), kPictureId, STM_SETICON, 0, 0);
        DestroyIcon(picture_);
        picture_ = nullptr;
    }
    return std::nullopt;
}

} // namespace sepmet::win32
