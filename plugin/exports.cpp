// Built into sepmet.so as an object of its own (not from an archive), so that these three
// functions stay exported while -Wl,--exclude-libs,ALL hides everything the libraries bring.
#include "plugin/exports.h"

#include "data/connection.h"
#include "plugin/host_services.h"
#include "plugin/module_state.h"
#include "plugin/plugin_info.h"
#include "plugin/startup.h"

extern "C" {

const sepmet::PluginInfo* SEPMET_CDECL GetPluginInfo() {
    return &sepmet::PluginInformation();
}

int SEPMET_CDECL Load(const sepmet::HostApi* hostApi) {
    sepmet::ModuleState& module = sepmet::Module();
    module.hostApi = hostApi;
    if (hostApi)
        module.modulesLoadedSubscription =
            hostApi->subscribe(sepmet::HostService::ModulesLoaded, &sepmet::OnModulesLoaded);
    return 0;
}

int SEPMET_CDECL Unload() {
    sepmet::ModuleState& module = sepmet::Module();
    if (const sepmet::HostApi* api = module.hostApi) {
        api->unsubscribe(module.modulesLoadedSubscription);
        api->unregisterService(module.menuCommandService);
    }
    module.modulesLoadedSubscription = 0;
    module.menuCommandService = 0;
    DataBase::DeleteConnection();
    return 0;
}
}
