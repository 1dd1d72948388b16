#pragma once
// The host function table handed to every plug-in's Load: events, the plug-ins' own services
// and the host's built-in services, reached by name. The table's entries are plain functions,
// so one HostTable is current at a time; it is the host's single switchboard.

#include "plugin/host_api.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace sepmet::host {

class HostTable {
public:
    // A built-in service: answers callService with (first, second).
    using Service = std::function<HostWord(HostWord first, HostWord second)>;

    HostTable();
    ~HostTable();
    HostTable(const HostTable&) = delete;
    HostTable& operator=(const HostTable&) = delete;

    const HostApi* api() const { return &api_; }

    // Built-in services; a later Offer under the same name replaces the earlier one.
    void Offer(const std::string& name, Service service);
    void Withdraw(const std::string& name);

    // Runs every callback subscribed to `event`, in subscription order. A callback withdrawn
    // by an earlier one is not run. False when none was subscribed.
    bool FireEvent(const std::string& event);

    // callService and findService as the plug-ins see them: built-in services first, then the
    // services plug-ins registered.
    HostWord Call(const std::string& name, HostWord first, HostWord second);
    bool Has(const std::string& name) const;

    // Withdraws every subscription and service whose callback lies in the loaded library that
    // contains `addressInLibrary`: after that library's Unload nothing points into it.
    // Returns how many were withdrawn.
    int WithdrawLibrary(const void* addressInLibrary);

    int SubscriptionCount() const { return static_cast<int>(subscriptions_.size()); }
    int PluginServiceCount() const { return static_cast<int>(pluginServices_.size()); }

private:
    struct Registration {
        std::string name;
        HostCallback callback;
        const void* library; // base address of the library holding the callback
    };

    static HostTable& Current();
    static void SEPMET_CDECL Unused();
    static HostWord SEPMET_CDECL Subscribe(const char* event, HostCallback callback);
    static HostWord SEPMET_CDECL Unsubscribe(HostWord handle);
    static HostWord SEPMET_CDECL RegisterService(const char* service, HostCallback callback);
    static HostWord SEPMET_CDECL UnregisterService(HostWord handle);
    static HostWord SEPMET_CDECL CallService(const char* service, HostWord first, HostWord second);
    static HostWord SEPMET_CDECL FindService(const char* service);

    HostWord Register(std::map<HostWord, Registration>& into, const char* name,
                      HostCallback callback);

    HostApi api_{};
    std::map<std::string, Service> services_;
    std::map<HostWord, Registration> subscriptions_; // ordered by handle: subscription order
    std::map<HostWord, Registration> pluginServices_;
    HostWord nextHandle_ = 1; // handles are never reused, so a stale one withdraws nothing
};

// The base address of the loaded library that contains `address`; nullptr when none does.
const void* LibraryBaseOf(const void* address);

} // namespace sepmet::host
