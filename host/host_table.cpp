#include "host/host_table.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <exception>

namespace sepmet::host {
namespace {
HostTable* current = nullptr;

// No exception may cross the boundary in either direction: a host service that fails answers 0,
// a plug-in callback that throws is reported and taken as 0.
template <typename Call> HostWord Guarded(const std::string& name, Call call) {
    try {
        return call();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "sepmet-host: %s failed: %s\n", name.c_str(), error.what());
    } catch (...) {
        std::fprintf(stderr, "sepmet-host: %s failed\n", name.c_str());
    }
    return 0;
}
} // namespace

const void* LibraryBaseOf(const void* address) {
    Dl_info info{};
    if (!address || dladdr(address, &info) == 0)
        return nullptr;
    return info.dli_fbase;
}

HostTable::HostTable() {
    if (current) {
        std::fprintf(stderr, "sepmet-host: a second host table was created\n");
        std::abort();
    }
    current = this;
    for (auto& entry : api_.unused)
        entry = &Unused;
    api_.subscribe = &Subscribe;
    api_.unsubscribe = &Unsubscribe;
    api_.registerService = &RegisterService;
    api_.unregisterService = &UnregisterService;
    api_.callService = &CallService;
    api_.findService = &FindService;
}

HostTable::~HostTable() {
    current = nullptr;
}

HostTable& HostTable::Current() {
    if (!current) {
        // A plug-in that kept the table past its Unload: nothing sane can be answered.
        std::fprintf(stderr, "sepmet-host: the host table was used after the host ended\n");
        std::abort();
    }
    return *current;
}

void HostTable::Offer(const std::string& name, Service service) {
    services_[name] = std::move(service);
}

void HostTable::Withdraw(const std::string& name) {
    services_.erase(name);
}

bool HostTable::FireEvent(const std::string& event) {
    std::vector<HostWord> handles;
    for (const auto& [handle, registration] : subscriptions_)
        if (registration.name == event)
            handles.push_back(handle);
    for (HostWord handle : handles) {
        const auto found = subscriptions_.find(handle);
        if (found != subscriptions_.end()) {
            const HostCallback callback = found->second.callback;
            Guarded(event, [callback] { return callback(0, 0); });
        }
    }
    return !handles.empty();
}

HostWord HostTable::Call(const std::string& name, HostWord first, HostWord second) {
    if (const auto found = services_.find(name); found != services_.end()) {
        const Service service = found->second; // the service may withdraw itself while running
        return Guarded(name, [&] { return service(first, second); });
    }
    for (const auto& [handle, registration] : pluginServices_)
        if (registration.name == name) {
            const HostCallback callback = registration.callback;
            return Guarded(name, [&] { return callback(first, second); });
        }
    return kServiceMissing;
}

bool HostTable::Has(const std::string& name) const {
    if (services_.count(name))
        return true;
    for (const auto& entry : pluginServices_)
        if (entry.second.name == name)
            return true;
    return false;
}

int HostTable::WithdrawLibrary(const void* addressInLibrary) {
    const void* library = LibraryBaseOf(addressInLibrary);
    if (!library)
        return 0;
    int withdrawn = 0;
    for (auto* registrations : {&subscriptions_, &pluginServices_})
        for (auto it = registrations->begin(); it != registrations->end();)
            if (it->second.library == library) {
                it = registrations->erase(it);
                ++withdrawn;
            } else {
                ++it;
            }
    return withdrawn;
}

HostWord HostTable::Register(std::map<HostWord, Registration>& into, const char* name,
                             HostCallback callback) {
    if (!name || !callback)
        return 0;
    const HostWord handle = nextHandle_++;
    into[handle] = {name, callback, LibraryBaseOf(reinterpret_cast<const void*>(callback))};
    return handle;
}

void SEPMET_CDECL HostTable::Unused() {
    std::fprintf(stderr, "sepmet-host: a plug-in called an unused host table entry\n");
}

HostWord SEPMET_CDECL HostTable::Subscribe(const char* event, HostCallback callback) {
    HostTable& table = Current();
    return table.Register(table.subscriptions_, event, callback);
}

HostWord SEPMET_CDECL HostTable::Unsubscribe(HostWord handle) {
    Current().subscriptions_.erase(handle);
    return 0;
}

HostWord SEPMET_CDECL HostTable::RegisterService(const char* service, HostCallback callback) {
    HostTable& table = Current();
    return table.Register(table.pluginServices_, service, callback);
}

HostWord SEPMET_CDECL HostTable::UnregisterService(HostWord handle) {
    Current().pluginServices_.erase(handle);
    return 0;
}

HostWord SEPMET_CDECL HostTable::CallService(const char* service, HostWord first, HostWord second) {
    if (!service)
        return kServiceMissing;
    return Current().Call(service, first, second);
}

HostWord SEPMET_CDECL HostTable::FindService(const char* service) {
    return service && Current().Has(service) ? 1 : 0;
}

} // namespace sepmet::host
