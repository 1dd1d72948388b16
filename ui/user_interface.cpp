// The window system's part of Load and Unload: message boxes, the opener and the window factory.

#include "plugin/user_interface.h"

#include "plugin/main_window.h"
#include "ui/dlg_main.h"
#include "ui/qt_message_box.h"

#include <QApplication>

namespace sepmet {
namespace {

QtMessageBoxService qtMessageBoxes;
DesktopOpener desktopOpener;
DlgMainFactory windowFactory;
bool attached = false;

// Whether the message boxes are still the platform's default (standard error): a service someone
// else installed (a test's recorder, the host's own) is left in place.
bool DefaultMessageBoxes() {
    MessageBoxService* current = &CurrentMessageBoxService();
    SetMessageBoxService(nullptr);
    const bool isDefault = current == &CurrentMessageBoxService();
    if (!isDefault)
        SetMessageBoxService(current);
    return isDefault;
}

} // namespace

void AttachUserInterface() {
    // Windows need a running QApplication; without one (a host without a window system) the
    // menu command opens nothing and messages go to standard error.
    if (attached || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    attached = true;
    if (DefaultMessageBoxes())
        SetMessageBoxService(&qtMessageBoxes);
    SetOpener(&desktopOpener);
    SetMainWindowFactory(&windowFactory);
}

void DetachUserInterface() {
    DlgMain::DeleteClosedWindows();
    if (!attached)
        return;
    attached = false;
    if (CurrentMainWindowFactory() == &windowFactory)
        SetMainWindowFactory(nullptr);
    SetOpener(nullptr);
    if (&CurrentMessageBoxService() == &qtMessageBoxes)
        SetMessageBoxService(nullptr);
}

} // namespace sepmet
