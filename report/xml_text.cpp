#include "report/xml_text.h"

#include "platform/utf.h"
#include "report/xml_writer_source.h"

#include <algorithm>
#include <string>

namespace sepmet {
namespace {

bool IsForbiddenInXml(char16_t c) {
    return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF;
}

} // namespace

void SetXmlText(pugi::xml_node node, const char* name, std::u16string_view value) {
    pugi::xml_attribute attribute = node.append_attribute(name);
    // Almost every text is written as it is; only one with a forbidden character is copied.
    if (std::none_of(value.begin(), value.end(), IsForbiddenInXml)) {
        attribute.set_value(ToUtf8(value).c_str());
        return;
    }
    std::u16string text(value);
    std::replace_if(text.begin(), text.end(), IsForbiddenInXml, u'\uFFFD');
    attribute.set_value(ToUtf8(text).c_str());
}

pugi::xml_node StartUtf16Document(pugi::xml_document& doc, const char* root) {
    pugi::xml_node declaration = doc.prepend_child(pugi::node_declaration);
    declaration.set_name("xml");
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("UTF-16LE");
    return doc.append_child(root);
}

std::u16string Utf16Text(const pugi::xml_document& doc) {
    std::u16string text;
    xml_writer_source writer(text);
    doc.save(writer, "", pugi::format_raw, pugi::encoding_utf16_le);
    return text;
}

} // namespace sepmet
