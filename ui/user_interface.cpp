// The window system's part of Load and Unload: message boxes, the opener and the window factory.

#include "plugin/user_interface.h"

#include "plugin/host_services.h"
#include "plugin/main_window.h"
#include "qtsupport/qt_message_box.h"
#include "ui/desktop_opener.h"
#include "ui/dlg_main.h"

#include <QApplication>
#include <QEvent>

namespace sepmet {
namespace {

QtMessageBoxService qtMessageBoxes;
DesktopOpener desktopOpener;
DlgMainFactory windowFactory;
bool attached = false;

// The host's window message posted as an event of that type to the parent of the window's parent.
void PostToHostWindow(HostWord window, int message) {
    auto* widget = reinterpret_cast<QWidget*>(window);
    QWidget* parent = widget ? widget->parentWidget() : nullptr;
    if (QWidget* target = parent ? parent->parentWidget() : nullptr)
        QCoreApplication::postEvent(target, new QEvent(static_cast<QEvent::Type>(message)));
}

} // namespace

void AttachUserInterface() {
    // Windows need a running QApplication; without one (a host without a window system) the
    // menu command opens nothing and messages go to standard error.
    if (attached || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    attached = true;
    if (DefaultMessageBoxServiceInUse())
        SetMessageBoxService(&qtMessageBoxes);
    SetOpener(&desktopOpener);
    SetWindowMessagePoster(&PostToHostWindow);
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
    SetWindowMessagePoster(nullptr);
    if (&CurrentMessageBoxService() == &qtMessageBoxes)
        SetMessageBoxService(nullptr);
}

} // namespace sepmet
