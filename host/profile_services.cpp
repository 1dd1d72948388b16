#include "host/profile_services.h"

#include "host/profile_store.h"
#include "plugin/host_api.h"

#include <algorithm>

namespace sepmet::host {
namespace {

std::u16string_view KeyAt(HostWord word) {
    const auto* key = reinterpret_cast<const char16_t*>(word);
    return key ? std::u16string_view(key) : std::u16string_view();
}

// Copies `text` into the caller's buffer: at most capacity - 1 units and a NUL, never half of
// a surrogate pair. False when the buffer holds nothing at all.
bool FillBuffer(const ProfileStringBuffer& buffer, const std::u16string& text) {
    if (!buffer.text || buffer.capacity <= 0)
        return false;
    std::size_t count = std::min<std::size_t>(text.size(), buffer.capacity - 1);
    if (count > 0 && count < text.size() && text[count - 1] >= 0xD800 && text[count - 1] <= 0xDBFF)
        --count;
    std::copy_n(text.begin(), count, buffer.text);
    buffer.text[count] = u'\0';
    return true;
}

} // namespace

void OfferProfileServices(HostTable& table, ProfileStore& store) {
    ProfileStore* s = &store;
    table.Offer(HostService::ProfileGetInt, [s](HostWord key, HostWord out) -> HostWord {
        const auto value = out ? s->GetInt(KeyAt(key)) : std::nullopt;
        if (!value)
            return 0;
        *reinterpret_cast<std::int32_t*>(out) = *value;
        return 1;
    });
    table.Offer(HostService::ProfileGetDouble, [s](HostWord key, HostWord out) -> HostWord {
        const auto value = out ? s->GetDouble(KeyAt(key)) : std::nullopt;
        if (!value)
            return 0;
        *reinterpret_cast<double*>(out) = *value;
        return 1;
    });
    table.Offer(HostService::ProfileGetString, [s](HostWord key, HostWord out) -> HostWord {
        const auto value = out ? s->GetText(KeyAt(key)) : std::nullopt;
        return value && FillBuffer(*reinterpret_cast<const ProfileStringBuffer*>(out), *value);
    });
    table.Offer(HostService::ProfileSetInt, [s](HostWord key, HostWord value) -> HostWord {
        return value && s->SetInt(KeyAt(key), *reinterpret_cast<const std::int32_t*>(value));
    });
    table.Offer(HostService::ProfileSetDouble, [s](HostWord key, HostWord value) -> HostWord {
        return value && s->SetDouble(KeyAt(key), *reinterpret_cast<const double*>(value));
    });
    table.Offer(HostService::ProfileSetString, [s](HostWord key, HostWord value) -> HostWord {
        return value && s->SetText(KeyAt(key), KeyAt(value));
    });
    table.Offer(HostService::ProfileDelParam,
                [s](HostWord key, HostWord) -> HostWord { return s->Delete(KeyAt(key)); });
}

void WithdrawProfileServices(HostTable& table) {
    for (const char* name :
         {HostService::ProfileGetInt, HostService::ProfileGetDouble, HostService::ProfileGetString,
          HostService::ProfileSetInt, HostService::ProfileSetDouble, HostService::ProfileSetString,
          HostService::ProfileDelParam})
        table.Withdraw(name);
}

} // namespace sepmet::host
