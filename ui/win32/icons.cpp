#include "ui/win32/icons.h"

#include "ui/win32/dialog.h"

#include <map>
#include <utility>

namespace sepmet::win32 {

HICON SharedIcon(int resource, int size) {
    // LR_SHARED keys its cache by resource only, whatever the size: keep one handle per size.
    static std::map<std::pair<int, int>, HICON> icons;
    HICON& icon = icons[{resource, size}];
    if (!icon)
        icon = static_cast<HICON>(LoadImageW(ResourceModule(), MAKEINTRESOURCEW(resource),
                                             IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    return icon;
}

void SetWindowIcons(HWND window) {
    SendMessageW(
        window, WM_SETICON, ICON_BIG,
        reinterpret_cast<LPARAM>(SharedIcon(IconResource::Window, GetSystemMetrics(SM_CXICON))));
    SendMessageW(
        window, WM_SETICON, ICON_SMALL,
        reinterpret_cast<LPARAM>(SharedIcon(IconResource::Window, GetSystemMetrics(SM_CXSMICON))));
}

int ScaleForWindow(HWND window, int pixels) {
    const HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(window, dc);
    return MulDiv(pixels, dpi, 96);
}

} // namespace sepmet::win32
