#include "report/xml_text.h"

#include "platform/utf.h"

#include <string>

namespace sepmet {
namespace {

bool IsForbiddenInXml(char16_t c) {
    return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF;
}

} // namespace

void SetXmlText(pugi::xml_node node, const char* name, std::u16string_view value) {
    std::u16string text(value);
    for (char16_t& c : text)
        if (IsForbiddenInXml(c))
            c = u'\uFFFD';
    node.append_attribute(name).set_value(ToUtf8(text).c_str());
}

} // namespace sepmet
