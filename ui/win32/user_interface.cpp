// The window system's part of Load and Unload in sepmet.dll: Windows' message boxes, the shell
// opening the report, message 1035 posted through the window system, and the factory of the
// main window.

#include "plugin/user_interface.h"

#include "platform/message_box_win.h"
#include "platform/opener.h"
#include "platform/opener_win.h"
#include "plugin/host_services.h"
#include "plugin/main_window.h"
#include "ui/win32/dlg_main.h"

namespace sepmet {
namespace {

WindowsMessageBoxService messageBoxes;
ShellOpener shellOpener;
win32::DlgMainFactory windowFactory;

// The message to the parent of the window's parent, each as the system reports it; a missing
// parent is the null window, which posts the message to the thread (where a host's loop that
// handles thread messages sees it).
void PostToHostWindow(HostWord window, int message) {
    const HWND parent = GetParent(reinterpret_cast<HWND>(window));
    PostMessageW(parent ? GetParent(parent) : nullptr, static_cast<UINT>(message), 0, 0);
}

} // namespace

void AttachUserInterface() {
    if (DefaultMessageBoxServiceInUse())
        SetMessageBoxService(&messageBoxes);
    SetOpener(&shellOpener);
    SetWindowMessagePoster(&PostToHostWindow);
    SetMainWindowFactory(&windowFactory);
}

void DetachUserInterface() {
    if (CurrentMainWindowFactory() == &windowFactory)
        SetMainWindowFactory(nullptr);
    SetWindowMessagePoster(nullptr);
    SetOpener(nullptr);
    if (&CurrentMessageBoxService() == &messageBoxes)
        SetMessageBoxService(nullptr);
}

} // namespace sepmet
