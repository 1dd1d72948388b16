// The window system's part of Load and Unload: message boxes, the opener and the window factory.

#include "plugin/user_interface.h"

#include "plugin/host_services.h"
#include "plugin/main_window.h"
#include "qtsupport/qt_message_box.h"
#include "qtsupport/qt_translations.h"
#include "ui/desktop_opener.h"
#include "ui/dlg_main.h"

#include <QApplication>
#include <QEvent>
#include <QTranslator>

namespace sepmet {
namespace {

QtMessageBoxService qtMessageBoxes;
DesktopOpener desktopOpener;
DlgMainFactory windowFactory;
bool attached = false;
// Qt's Russian texts, installed only when the host has loaded no translation of its own.
QTranslator* qtTranslations = nullptr;

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
    if (!QtTextsTranslated()) {
        qtTranslations = new QTranslator;
        if (!InstallQtRussianTranslations(*qtTranslations)) {
            delete qtTranslations; // no translations installed: Qt's dialogs stay English
            qtTranslations = nullptr;
        }
    }
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
    if (qtTranslations) {
        QCoreApplication::removeTranslator(qtTranslations);
        delete qtTranslations;
        qtTranslations = nullptr;
    }
}

} // namespace sepmet
