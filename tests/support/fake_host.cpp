#include "tests/support/fake_host.h"

#include "plugin/host_services.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace sepmet::testing {
namespace {

FakeHost* current = nullptr;

const char16_t* TextAt(HostWord word) {
    return reinterpret_cast<const char16_t*>(word);
}

template <typename T> HostWord ReadProfile(FakeHost& host, HostWord key, HostWord out) {
    const auto found = host.profile().find(TextAt(key));
    if (found == host.profile().end() || !std::holds_alternative<T>(found->second))
        return 0;
    *reinterpret_cast<T*>(out) = std::get<T>(found->second);
    return 1;
}

template <typename T> HostWord WriteProfile(FakeHost& host, HostWord key, HostWord value) {
    host.profile()[TextAt(key)] = *reinterpret_cast<const T*>(value);
    return 1;
}

} // namespace

FakeHost::FakeHost() {
    if (current)
        ADD_FAILURE() << "only one FakeHost may exist at a time";
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

FakeHost::~FakeHost() {
    if (current == this)
        current = nullptr;
}

FakeHost& FakeHost::Current() {
    if (!current) {
        ADD_FAILURE() << "the host table was used while no FakeHost exists";
        std::abort();
    }
    return *current;
}

FakeHost& FakeHost::Offer(const std::string& name, Service service) {
    services_[name] = std::move(service);
    return *this;
}

FakeHost& FakeHost::OfferAnswer(const std::string& name, HostWord answer) {
    return Offer(name, [answer](HostWord, HostWord) { return answer; });
}

FakeHost& FakeHost::Remove(const std::string& name) {
    services_.erase(name);
    return *this;
}

FakeHost& FakeHost::OfferMenu() {
    return Offer(HostService::CreateNewMenu, [this](HostWord, HostWord second) -> HostWord {
        const auto* request = reinterpret_cast<const MenuItemRequest*>(second);
        MenuItem item{request->size, request->path ? request->path : u"", request->reserved,
                      request->service ? request->service : ""};
        NoteText(item.path);
        menuItems_.push_back(std::move(item));
        return 1;
    });
}

FakeHost& FakeHost::OfferAssayPicker(std::vector<std::int32_t> ids) {
    pickerIds_ = std::move(ids);
    return Offer(HostService::OpenAssayIdDlg, [this](HostWord first, HostWord) -> HostWord {
        auto* request = reinterpret_cast<AssayIdRequest*>(first);
        const auto count = std::min<std::size_t>(pickerIds_.size(), std::max(request->capacity, 0));
        std::copy_n(pickerIds_.begin(), count, request->ids);
        return static_cast<HostWord>(count);
    });
}

FakeHost& FakeHost::OfferAssayViewer() {
    return Offer(HostService::OpenAssayFile, [this](HostWord, HostWord second) -> HostWord {
        openedFiles_.emplace_back(TextAt(second));
        NoteText(openedFiles_.back());
        return 1;
    });
}

FakeHost& FakeHost::OfferDatabaseLocation(std::u16string location) {
    databaseLocation_ = std::move(location);
    return Offer(HostService::GetConnectionUri, [this](HostWord, HostWord) {
        return reinterpret_cast<HostWord>(databaseLocation_.c_str());
    });
}

FakeHost& FakeHost::OfferProfile() {
    // Every profile service reads its key from the first parameter.
    auto keyed = [this](HostWord (*answer)(FakeHost&, HostWord, HostWord)) {
        return [this, answer](HostWord key, HostWord second) {
            NoteText(TextAt(key));
            return answer(*this, key, second);
        };
    };
    Offer(HostService::ProfileGetInt, keyed(&ReadProfile<std::int32_t>));
    Offer(HostService::ProfileGetDouble, keyed(&ReadProfile<double>));
    Offer(HostService::ProfileSetInt, keyed(&WriteProfile<std::int32_t>));
    Offer(HostService::ProfileSetDouble, keyed(&WriteProfile<double>));
    Offer(HostService::ProfileSetString,
          keyed([](FakeHost& host, HostWord key, HostWord value) -> HostWord {
              host.profile()[TextAt(key)] = std::u16string(TextAt(value));
              return 1;
          }));
    Offer(HostService::ProfileGetString,
          keyed([](FakeHost& host, HostWord key, HostWord out) -> HostWord {
              const auto found = host.profile().find(TextAt(key));
              if (found == host.profile().end() ||
                  !std::holds_alternative<std::u16string>(found->second))
                  return 0;
              // A well-behaved host: at most capacity - 1 units and a NUL.
              const auto& text = std::get<std::u16string>(found->second);
              auto* buffer = reinterpret_cast<ProfileStringBuffer*>(out);
              const auto count = std::min<std::size_t>(text.size(), buffer->capacity - 1);
              std::copy_n(text.begin(), count, buffer->text);
              buffer->text[count] = u'\0';
              return 1;
          }));
    Offer(HostService::ProfileDelParam, keyed([](FakeHost& host, HostWord key, HostWord) {
              return static_cast<HostWord>(host.profile().erase(TextAt(key)));
          }));
    return *this;
}

FakeHost& FakeHost::OfferAll(std::u16string databaseLocation) {
    OfferMenu();
    OfferAssayPicker();
    OfferAssayViewer();
    OfferDatabaseLocation(std::move(databaseLocation));
    return OfferProfile();
}

std::vector<HostCall> FakeHost::CallsOf(std::string_view entry, std::string_view name) const {
    std::vector<HostCall> found;
    for (const auto& call : calls_)
        if (call.entry == entry && (name.empty() || call.name == name))
            found.push_back(call);
    return found;
}

int FakeHost::CountCalls(std::string_view entry, std::string_view name) const {
    return static_cast<int>(CallsOf(entry, name).size());
}

void FakeHost::NoteText(std::u16string text) {
    if (answering_.empty())
        ADD_FAILURE() << "NoteText outside a service call";
    else
        calls_[answering_.back()].text = std::move(text);
}

bool FakeHost::FireEvent(const std::string& event, HostWord first, HostWord second) {
    std::vector<HostCallback> callbacks;
    for (const auto& [handle, registration] : subscriptions_)
        if (registration.name == event)
            callbacks.push_back(registration.callback);
    for (HostCallback callback : callbacks)
        callback(first, second);
    return !callbacks.empty();
}

bool FakeHost::HasPluginService(const std::string& name) const {
    return std::any_of(pluginServices_.begin(), pluginServices_.end(),
                       [&](const auto& entry) { return entry.second.name == name; });
}

HostWord FakeHost::CallPluginService(const std::string& name, HostWord first, HostWord second) {
    for (const auto& [handle, registration] : pluginServices_)
        if (registration.name == name)
            return registration.callback(first, second);
    return kServiceMissing;
}

HostWord FakeHost::ChooseMenuItem(HostWord parentWindow) {
    if (menuItems_.empty())
        return kServiceMissing;
    return CallPluginService(menuItems_.front().service, parentWindow, 0);
}

std::size_t FakeHost::Record(HostCall call) {
    calls_.push_back(std::move(call));
    return calls_.size() - 1;
}

void SEPMET_CDECL FakeHost::Unused() {
    ADD_FAILURE() << "the plug-in called one of the unused host table entries";
}

HostWord SEPMET_CDECL FakeHost::Subscribe(const char* event, HostCallback callback) {
    FakeHost& host = Current();
    const HostWord handle = host.nextHandle_++;
    host.subscriptions_[handle] = {event, callback};
    host.Record({"subscribe", event, 0, 0, handle, {}});
    return handle;
}

HostWord SEPMET_CDECL FakeHost::Unsubscribe(HostWord handle) {
    FakeHost& host = Current();
    host.subscriptions_.erase(handle);
    host.Record({"unsubscribe", "", handle, 0, 0, {}});
    return 0;
}

HostWord SEPMET_CDECL FakeHost::RegisterService(const char* service, HostCallback callback) {
    FakeHost& host = Current();
    const HostWord handle = host.nextHandle_++;
    host.pluginServices_[handle] = {service, callback};
    host.Record({"registerService", service, 0, 0, handle, {}});
    return handle;
}

HostWord SEPMET_CDECL FakeHost::UnregisterService(HostWord handle) {
    FakeHost& host = Current();
    host.pluginServices_.erase(handle);
    host.Record({"unregisterService", "", handle, 0, 0, {}});
    return 0;
}

HostWord SEPMET_CDECL FakeHost::CallService(const char* service, HostWord first, HostWord second) {
    FakeHost& host = Current();
    const std::size_t index = host.Record({"callService", service, first, second, 0, {}});
    HostWord result = kServiceMissing;
    if (const auto found = host.services_.find(service); found != host.services_.end()) {
        const Service answer = found->second; // the service may replace itself while running
        host.answering_.push_back(index);
        result = answer(first, second);
        host.answering_.pop_back();
    } else if (host.HasPluginService(service)) {
        result = host.CallPluginService(service, first, second);
    }
    host.calls_[index].result = result;
    return result;
}

HostWord SEPMET_CDECL FakeHost::FindService(const char* service) {
    FakeHost& host = Current();
    const HostWord result = host.Offers(service) || host.HasPluginService(service) ? 1 : 0;
    host.Record({"findService", service, 0, 0, result, {}});
    return result;
}

} // namespace sepmet::testing
