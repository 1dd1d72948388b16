#include "plugin/menu_command.h"

#include "plugin/callback_guard.h"
#include "plugin/main_window.h"
#include "plugin/module_state.h"

#include <memory>

namespace sepmet {
namespace {

void ShowMainWindow(HostWord parent) {
    ModuleState& module = Module();
    if (!module.mainDialog || module.recreateMainDialog) {
        // The process locale is left alone: a plug-in must not change its host's global state.
        // Number text and name comparison carry the "ru-RU" rules themselves.
        MainWindowFactory* factory = CurrentMainWindowFactory();
        // No factory (the module before the user interface is built into it): nothing to show.
        if (!factory)
            return;
        // The command owns the object until it is built; only a built window owns itself. A
        // failure inside CreateModeless therefore deletes it exactly once, here, and leaves no
        // pointer to it behind: the next command tries afresh.
        std::unique_ptr<MainWindow> window(factory->NewMainWindow(parent));
        if (!window)
            return;
        module.mainDialog = nullptr;
        module.recreateMainDialog = true;
        window->CreateModeless();
        module.mainDialog = window.release();
        module.recreateMainDialog = false;
    }
    module.mainDialog->ShowNormal();
}

} // namespace

HostWord SEPMET_CDECL OnMenuCommand(HostWord parent, HostWord) {
    GuardHostCallback([parent] { ShowMainWindow(parent); });
    return 0;
}

} // namespace sepmet
