#pragma once
// A stand-in host for tests: a real HostApi table whose named services are present or absent
// as each test configures them, and which records every call the plug-in makes through it.
//
//     FakeHost host;                       // offers no service at all
//     host.OfferAll(u"/tmp/x.db");         // menu, picker, viewer, database location, profile
//     host.Remove(HostService::OpenAssayIdDlg);
//     Load(host.api());
//     host.FireEvent(HostService::ModulesLoaded);
//     host.ChooseMenuItem(0x1234);         // the operator chose the plug-in's menu item
//     EXPECT_EQ(host.CountCalls("callService", HostService::CreateNewMenu), 1);
//
// Only one FakeHost exists at a time: the table's entries are plain functions that reach the
// current one.

#include "plugin/host_api.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace sepmet::testing {

struct HostCall {
    std::string entry;   // "subscribe", "unsubscribe", "registerService", "unregisterService",
                         // "callService" or "findService"
    std::string name;    // event or service name; empty for unsubscribe and unregisterService
    HostWord first = 0;  // callService's first parameter; the handle for unsubscribe/unregister
    HostWord second = 0; // callService's second parameter
    HostWord result = 0; // what the host answered
    std::u16string text; // what a built-in service read through its parameters: the profile
                         // key, the menu path, the file name to open
};

using ProfileValue = std::variant<std::int32_t, double, std::u16string>;

struct MenuItem {
    std::uint32_t size = 0;
    std::u16string path;
    std::uint32_t reserved = 0;
    std::string service;
};

class FakeHost {
public:
    // Answers the plug-in's callService with (first, second).
    using Service = std::function<HostWord(HostWord first, HostWord second)>;

    FakeHost();
    ~FakeHost();
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    const HostApi* api() const { return &api_; }

    // --- services the host offers ---
    FakeHost& Offer(const std::string& name, Service service);
    FakeHost& OfferAnswer(const std::string& name, HostWord answer); // a constant answer
    FakeHost& Remove(const std::string& name);
    bool Offers(const std::string& name) const { return services_.count(name) != 0; }

    // "MainMenu/CreateNewMenu": keeps each requested item (menuItems()), answers 1.
    FakeHost& OfferMenu();
    // "Main/OpenAssayIdDlgEx": writes pickerIds (up to the request's capacity) into the
    // request's buffer and answers how many it wrote. The window parameter is recorded.
    FakeHost& OfferAssayPicker(std::vector<std::int32_t> ids = {});
    // "Main/OpenAssayFile": keeps each file name (openedFiles()), answers 1.
    FakeHost& OfferAssayViewer();
    // "DB/GetConnectionUri": answers a pointer to `location`, valid while the host lives.
    FakeHost& OfferDatabaseLocation(std::u16string location);
    // The seven "Profile/..." services over profile(): readers answer 1 and fill the value when
    // the key holds a value of their kind, else 0; writers store and answer 1; DelParam
    // answers 1 when the key existed.
    FakeHost& OfferProfile();
    // All of the above.
    FakeHost& OfferAll(std::u16string databaseLocation = u"");

    // --- what the plug-in did ---
    const std::vector<HostCall>& calls() const { return calls_; }
    // Calls of one entry, optionally only those with the given name.
    std::vector<HostCall> CallsOf(std::string_view entry, std::string_view name = {}) const;
    int CountCalls(std::string_view entry, std::string_view name = {}) const;
    void ClearCalls() { calls_.clear(); }
    // For a Service: attaches a text to the call being answered (HostCall::text).
    void NoteText(std::u16string text);

    const std::vector<MenuItem>& menuItems() const { return menuItems_; }
    const std::vector<std::u16string>& openedFiles() const { return openedFiles_; }
    std::vector<std::int32_t>& pickerIds() { return pickerIds_; }
    std::map<std::u16string, ProfileValue>& profile() { return profile_; }

    // --- driving the plug-in ---
    // Runs every callback subscribed to `event`; false when none is subscribed.
    bool FireEvent(const std::string& event, HostWord first = 0, HostWord second = 0);
    bool HasPluginService(const std::string& name) const;
    // Runs the callback the plug-in registered under `name`; kServiceMissing when none.
    HostWord CallPluginService(const std::string& name, HostWord first, HostWord second = 0);
    // The operator chooses the menu item the plug-in requested (the first one): its command
    // service runs with the parent window. kServiceMissing when no item or service exists.
    HostWord ChooseMenuItem(HostWord parentWindow);

private:
    struct Registration {
        std::string name;
        HostCallback callback;
    };

    static FakeHost& Current();
    static void SEPMET_CDECL Unused();
    static HostWord SEPMET_CDECL Subscribe(const char* event, HostCallback callback);
    static HostWord SEPMET_CDECL Unsubscribe(HostWord handle);
    static HostWord SEPMET_CDECL RegisterService(const char* service, HostCallback callback);
    static HostWord SEPMET_CDECL UnregisterService(HostWord handle);
    static HostWord SEPMET_CDECL CallService(const char* service, HostWord first, HostWord second);
    static HostWord SEPMET_CDECL FindService(const char* service);

    std::size_t Record(HostCall call);

    HostApi api_{};
    std::map<std::string, Service> services_;
    std::map<HostWord, Registration> subscriptions_;
    std::map<HostWord, Registration> pluginServices_;
    HostWord nextHandle_ = 0x100;
    std::vector<HostCall> calls_;
    std::vector<std::size_t> answering_; // indices of the calls being answered, innermost last

    std::vector<MenuItem> menuItems_;
    std::vector<std::u16string> openedFiles_;
    std::vector<std::int32_t> pickerIds_;
    std::u16string databaseLocation_;
    std::map<std::u16string, ProfileValue> profile_;
};

} // namespace sepmet::testing
