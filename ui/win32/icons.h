#pragma once
// The plug-in's icon resources (made at build time from resources/icons/*.svg).

#include "ui/win32/windows_api.h"

namespace sepmet::win32 {

namespace IconResource {
enum : int {
    Add = 1005,
    Remove = 1006,
    RemoveAll = 1007,
    Open = 1008,
    Reload = 1009,
    Report = 1010,
    Settings = 1019,
    Window = 1027,
    About = 1033,
};
}

// An icon resource at a size in pixels, shared (loaded once per process and size class): the
// system's big and small icon sizes and the button size.
HICON SharedIcon(int resource, int size);
// The window's big and small icon 1027, set on `window`.
void SetWindowIcons(HWND window);
// A size in 96-DPI pixels scaled to the window's dots per inch.
int ScaleForWindow(HWND window, int pixels);

} // namespace sepmet::win32
