// The window system's part of Load and Unload in sepmet.dll: message boxes are Windows' own
// and the report opens in the program Windows associates with it.

#include "platform/message_box_win.h"
#include "platform/opener.h"
#include "platform/opener_win.h"
#include "plugin/user_interface.h"

namespace sepmet {
namespace {

WindowsMessageBoxService messageBoxes;
ShellOpener shellOpener;

} // namespace

void AttachUserInterface() {
    SetMessageBoxService(&messageBoxes);
    SetOpener(&shellOpener);
}

void DetachUserInterface() {
    SetOpener(nullptr);
    SetMessageBoxService(nullptr);
}

} // namespace sepmet
