// The status texts of the XML DOM service, the same on every system.
#include "platform/utf.h"
#include "platform/xml_dom_service.h"

#include <cstdio>

namespace sepmet {

std::u16string StatusMessageText(std::int32_t status, std::u16string_view systemText) {
    std::u16string text(systemText);
    if (!text.empty() && text.back() == u'\n')
        text.pop_back();
    if (!text.empty() && text.back() == u'\r')
        text.pop_back();
    if (!text.empty())
        return text;
    const auto code = static_cast<std::uint32_t>(status);
    char buffer[64];
    if (code >= 0x80040200u && code <= 0x8004FFFFu)
        std::snprintf(buffer, sizeof buffer, "IDispatch error #%d",
                      static_cast<int>(code - 0x80040200u));
    else
        std::snprintf(buffer, sizeof buffer, "Unknown error 0x%0lX",
                      static_cast<unsigned long>(code));
    return FromUtf8(buffer);
}

ComponentError::ComponentError(std::int32_t status, std::u16string_view systemText)
    : status_(status), message_(StatusMessageText(status, systemText)), what_(ToUtf8(message_)) {}

} // namespace sepmet
