#pragma once
// The host's profile store: keys under the plug-in's base key and seven thin wrappers. A missing
// service, or a host that answers 0, gives a reader its default and a writer false.

#include "session/profile_access.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sepmet {

// profileBase + "\" + section + "/" + name; without a base key, section + "/" + name.
std::u16string MakeProfileKey(std::u16string_view section, std::u16string_view name);

bool ProfileDelParam(std::u16string_view section, std::u16string_view name);
std::int32_t ProfileGetInt(std::u16string_view section, std::u16string_view name,
                           std::int32_t defaultValue);
double ProfileGetDouble(std::u16string_view section, std::u16string_view name, double defaultValue);
// At most 256 UTF-16 units: the text up to the first NUL of the host's buffer.
std::u16string ProfileGetString(std::u16string_view section, std::u16string_view name,
                                std::u16string_view defaultValue);
bool ProfileSetInt(std::u16string_view section, std::u16string_view name, std::int32_t value);
bool ProfileSetDouble(std::u16string_view section, std::u16string_view name, double value);
void ProfileSetString(std::u16string_view section, std::u16string_view name,
                      std::u16string_view value);

// The window's saved state through the profile services, under the base key with no section:
// the profile the determination session reads and writes.
class HostProfile final : public ProfileAccess {
public:
    std::int32_t GetInt(std::u16string_view name, std::int32_t defaultValue) override {
        return ProfileGetInt(u"", name, defaultValue);
    }
    double GetDouble(std::u16string_view name, double defaultValue) override {
        return ProfileGetDouble(u"", name, defaultValue);
    }
    std::u16string GetString(std::u16string_view name, std::u16string_view defaultValue) override {
        return ProfileGetString(u"", name, defaultValue);
    }
    void SetInt(std::u16string_view name, std::int32_t value) override {
        ProfileSetInt(u"", name, value);
    }
    void SetDouble(std::u16string_view name, double value) override {
        ProfileSetDouble(u"", name, value);
    }
    void SetString(std::u16string_view name, std::u16string_view value) override {
        ProfileSetString(u"", name, value);
    }
    void Delete(std::u16string_view name) override { ProfileDelParam(u"", name); }
};

} // namespace sepmet
