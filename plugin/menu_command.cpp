#include "plugin/menu_command.h"

#include "plugin/callback_guard.h"
#include "plugin/main_window.h"
#include "plugin/module_state.h"

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
        MainWindow* window = factory->NewMainWindow(parent);
        if (!window)
            return;
        module.recreateMainDialog = false;
        module.mainDialog = window;
        try {
            window->CreateModeless();
        } catch (...) {
            // A window that could not be built is not reused: the next command tries afresh.
            module.mainDialog = nullptr;
            module.recreateMainDialog = true;
            delete window;
            throw;
        }
    }
    module.mainDialog->ShowNormal();
}

} // namespace

HostWord SEPMET_CDECL OnMenuCommand(HostWord parent, HostWord) {
    GuardHostCallback([parent] { ShowMainWindow(parent); });
    return 0;
}

} // namespace sepmet
