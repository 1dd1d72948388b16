#include "plugin/host_services.h"

#include "plugin/module_state.h"

namespace sepmet {

bool HostHasService(const char* service) {
    const HostApi* api = Module().hostApi;
    return api && api->findService(service) != 0;
}

HostWord CallHostService(const char* service, HostWord first, HostWord second) {
    const HostApi* api = Module().hostApi;
    return api ? api->callService(service, first, second) : kServiceMissing;
}

} // namespace sepmet
