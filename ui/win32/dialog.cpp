#include "ui/win32/dialog.h"

#include "ui/win32/activation_context.h"

#include <algorithm>
#include <string>

// The linker's symbol for the start of this image (the plug-in, or a test program).
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace sepmet::win32 {
namespace {

constexpr wchar_t kReflectorProperty[] = L"sepmet.NotifyReflector";

} // namespace

HINSTANCE ResourceModule() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

void NotifyReflector::Attach(HWND control, NotifyReflector* reflector) {
    SetPropW(control, kReflectorProperty, reflector);
}

Dialog::Dialog(const DialogTemplate& dialog, DialogFrame frame)
    : template_(dialog), buffer_(dialog, frame) {}

Dialog::~Dialog() {
    if (hwnd_) {
        // Destroyed with its object: the procedure must not reach a dead object.
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
}

bool Dialog::Create(HWND parent) {
    ActivationScope scope;
    modal_ = false;
    return CreateDialogIndirectParamW(ResourceModule(), buffer_.get(), parent, &Procedure,
                                      reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR Dialog::RunModal(HWND owner) {
    ActivationScope scope;
    modal_ = true;
    return DialogBoxIndirectParamW(ResourceModule(), buffer_.get(), owner, &Procedure,
                                   reinterpret_cast<LPARAM>(this));
}

void Dialog::End(int result) {
    if (modal_)
        EndDialog(hwnd_, result);
    else
        DestroyWindow(hwnd_);
}

bool Dialog::OnCommand(int id, int) {
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

void Dialog::AddLayout(int id, int moveX, int moveY, int sizeX, int sizeY) {
    const HWND control = Item(id);
    if (!control)
        return;
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
    layout_.push_back({id, rect, moveX, moveY, sizeX, sizeY});
}

void Dialog::ApplyLayout() {
    if (layout_.empty())
        return;
    RECT client;
    GetClientRect(hwnd_, &client);
    const int dx = client.right - startClient_.cx;
    const int dy = client.bottom - startClient_.cy;
    for (const LayoutRule& rule : layout_) {
        const RECT& r = rule.start;
        SetWindowPos(Item(rule.id), nullptr, r.left + dx * rule.moveX / 100,
                     r.top + dy * rule.moveY / 100, r.right - r.left + dx * rule.sizeX / 100,
                     r.bottom - r.top + dy * rule.sizeY / 100, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

int Dialog::FitStaticTexts() {
    const HDC dc = GetDC(hwnd_);
    const HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
    int right = 0;
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16]{};
        GetClassNameW(child, className, 16);
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if (lstrcmpiW(className, L"Static") != 0 || (style & SS_TYPEMASK) != SS_LEFT)
            continue;
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(child)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(child, text.data(), static_cast<int>(text.size()))));
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
        if (extent.cx > rect.right - rect.left) {
            rect.right = rect.left + extent.cx;
            SetWindowPos(child, nullptr, 0, 0, extent.cx, rect.bottom - rect.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        right = std::max(right, static_cast<int>(rect.right));
    }
    SelectObject(dc, oldFont);
    ReleaseDC(hwnd_, dc);
    return right;
}

void Dialog::MoveControl(HWND control, int dx) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(control, nullptr, rect.left + dx, rect.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::Widen(HWND window, int dx) {
    RECT rect;
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left + dx, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (window == hwnd_) {
        RECT client;
        GetClientRect(hwnd_, &client);
        startClient_ = {client.right, client.bottom};
    }
}

INT_PTR CALLBACK Dialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
        RECT client;
        GetClientRect(hwnd, &client);
        self->startClient_ = {client.right, client.bottom};
        return self->OnInitDialog() ? TRUE : FALSE;
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self)
        return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        self->PostNcDestroy(); // may delete the object
        return FALSE;
    }
    return self->Handle(message, wParam, lParam);
}

INT_PTR Dialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    std::optional<LRESULT> result;
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam), HIWORD(wParam)))
            return TRUE;
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (auto* reflector =
                static_cast<NotifyReflector*>(GetPropW(header->hwndFrom, kReflectorProperty)))
            result = reflector->OnReflectedNotify(header);
        if (!result)
            result = OnNotify(header);
        break;
    }
    case WM_SIZE:
        ApplyLayout();
        result = OnMessage(message, wParam, lParam);
        break;
    default:
        result = OnMessage(message, wParam, lParam);
        break;
    }
    if (!result)
        return FALSE;
    // Messages whose answer is the procedure's own return value; the others go through
    // DWLP_MSGRESULT.
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_QUERYDRAGICON:
        return static_cast<INT_PTR>(*result);
    default:
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, *result);
        return TRUE;
    }
}

} // namespace sepmet::win32
