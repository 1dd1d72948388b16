// Built into sepmet.so as an object of its own (not from an archive), so that these three
// functions stay exported while -Wl,--exclude-libs,ALL hides everything the libraries bring.
#include "plugin/exports.h"

#include "data/connection.h"
#include "plugin/host_services.h"
#include "plugin/main_window.h"
#include "plugin/module_state.h"
#include "plugin/plugin_info.h"
#include "plugin/startup.h"
#include "plugin/user_interface.h"

extern "C" {

const sepmet::PluginInfo* SEPMET_CDECL GetPluginInfo() {
    return &sepmet::PluginInformation();
}

int SEPMET_CDECL Load(const sepmet::HostApi* hostApi) {
    sepmet::ModuleState& module = sepmet::Module();
    module.hostApi = hostApi;
    sepmet::AttachUserInterface();
    if (hostApi)
        module.modulesLoadedSubscription =
            hostApi->subscribe(sepmet::HostService::ModulesLoaded, &sepmet::OnModulesLoaded);
    return 0;
}

int SEPMET_CDECL Unload() {
    sepmet::ModuleState& module = sepmet::Module();
    // The host may unload the library next: an open window saves its state (through the host's
    // profile, so before the table goes) and is destroyed now, with nothing left queued.
    if (sepmet::MainWindow* window = module.mainDialog) {
        module.mainDialog = nullptr;
        window->CloseForUnload();
    }
    module.recreateMainDialog = true;
    sepmet::DetachUserInterface();
    if (const sepmet::HostApi* api = module.hostApi) {
        api->unsubscribe(module.modulesLoadedSubscription);
        api->unregisterService(module.menuCommandService);
    }
    module.modulesLoadedSubscription = 0;
    module.menuCommandService = 0;
    DataBase::DeleteConnection();
    // Nothing may call into the host's table once it may be freed.
    module.hostApi = nullptr;
    return 0;
}
}
