#include "plugin/profile.h"

#include "plugin/host_services.h"
#include "plugin/module_state.h"

#include <algorithm>
#include <array>
#include <optional>

namespace sepmet {
namespace {

// One call of a profile service with the key of (section, name); none when the service is
// missing. The key exists only during the call.
std::optional<HostWord> CallProfile(const char* service, std::u16string_view section,
                                    std::u16string_view name, HostWord second) {
    if (!HostHasService(service))
        return std::nullopt;
    const std::u16string key = MakeProfileKey(section, name);
    return CallHostService(service, reinterpret_cast<HostWord>(key.c_str()), second);
}

// The host answered with success. The missing word counts as failure too: the service was
// found, yet the host says it is gone.
bool Answered(const std::optional<HostWord>& answer) {
    return answer && *answer != 0 && *answer != kServiceMissing;
}

template <typename T>
T GetValue(const char* service, std::u16string_view section, std::u16string_view name,
           T defaultValue) {
    T value = defaultValue; // a host that answers success without writing leaves the default
    return Answered(CallProfile(service, section, name, reinterpret_cast<HostWord>(&value)))
               ? value
               : defaultValue;
}

template <typename T>
bool SetValue(const char* service, std::u16string_view section, std::u16string_view name, T value) {
    return Answered(CallProfile(service, section, name, reinterpret_cast<HostWord>(&value)));
}

} // namespace

std::u16string MakeProfileKey(std::u16string_view section, std::u16string_view name) {
    std::u16string key;
    const std::u16string& base = Module().profileBase;
    if (!base.empty()) {
        key = base;
        key += u'\\';
    }
    key += section;
    key += u'/';
    key += name;
    return key;
}

bool ProfileDelParam(std::u16string_view section, std::u16string_view name) {
    return Answered(CallProfile(HostService::ProfileDelParam, section, name, 0));
}

std::int32_t ProfileGetInt(std::u16string_view section, std::u16string_view name,
                           std::int32_t defaultValue) {
    return GetValue(HostService::ProfileGetInt, section, name, defaultValue);
}

double ProfileGetDouble(std::u16string_view section, std::u16string_view name,
                        double defaultValue) {
    return GetValue(HostService::ProfileGetDouble, section, name, defaultValue);
}

std::u16string ProfileGetString(std::u16string_view section, std::u16string_view name,
                                std::u16string_view defaultValue) {
    std::array<char16_t, kProfileStringCapacity> text{};
    ProfileStringBuffer buffer{text.data(), kProfileStringCapacity};
    if (!Answered(CallProfile(HostService::ProfileGetString, section, name,
                              reinterpret_cast<HostWord>(&buffer))))
        return std::u16string(defaultValue);
    // The host should write at most 255 units and a NUL; one that fills all 256 units gets
    // them all, and nothing past the buffer is read.
    return std::u16string(text.begin(), std::find(text.begin(), text.end(), u'\0'));
}

bool ProfileSetInt(std::u16string_view section, std::u16string_view name, std::int32_t value) {
    return SetValue(HostService::ProfileSetInt, section, name, value);
}

bool ProfileSetDouble(std::u16string_view section, std::u16string_view name, double value) {
    return SetValue(HostService::ProfileSetDouble, section, name, value);
}

void ProfileSetString(std::u16string_view section, std::u16string_view name,
                      std::u16string_view value) {
    const std::u16string text(value); // NUL-terminated for the host
    CallProfile(HostService::ProfileSetString, section, name,
                reinterpret_cast<HostWord>(text.c_str()));
}

} // namespace sepmet
