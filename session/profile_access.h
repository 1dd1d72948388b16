#pragma once
// The window's saved state is kept in the host's profile. The session reads and writes it
// through this small interface; the plug-in implements it over the host's profile services,
// tests over a map. Names are relative to the plug-in's base key ("vW", "Assay 1").

#include <cstdint>
#include <string>
#include <string_view>

namespace sepmet {

class ProfileAccess {
public:
    virtual ~ProfileAccess() = default;

    virtual std::int32_t GetInt(std::u16string_view name, std::int32_t defaultValue) = 0;
    virtual double GetDouble(std::u16string_view name, double defaultValue) = 0;
    // At most 255 UTF-16 units; `defaultValue` when the value is absent.
    virtual std::u16string GetString(std::u16string_view name,
                                     std::u16string_view defaultValue) = 0;
    virtual void SetInt(std::u16string_view name, std::int32_t value) = 0;
    virtual void SetDouble(std::u16string_view name, double value) = 0;
    virtual void SetString(std::u16string_view name, std::u16string_view value) = 0;
    virtual void Delete(std::u16string_view name) = 0;
};

} // namespace sepmet
