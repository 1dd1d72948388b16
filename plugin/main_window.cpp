#include "plugin/main_window.h"

#include "plugin/module_state.h"

namespace sepmet {
namespace {
MainWindowFactory* factory = nullptr;
}

void SetMainWindowFactory(MainWindowFactory* newFactory) {
    factory = newFactory;
}

MainWindowFactory* CurrentMainWindowFactory() {
    return factory;
}

void MainWindowDestroyed(MainWindow* window) {
    ModuleState& module = Module();
    module.recreateMainDialog = true;
    // The object is about to delete itself; forget it so that nothing reaches it afterwards.
    if (module.mainDialog == window)
        module.mainDialog = nullptr;
}

} // namespace sepmet
