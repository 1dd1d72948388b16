#pragma once
// Texts written into the report's XML documents.

#include <pugixml.hpp>
#include <string_view>

namespace sepmet {

// Appends the attribute `name` with `value`. Characters that XML 1.0 allows nowhere, not even
// escaped (U+0000 to U+001F but tab, line feed and carriage return, U+FFFE, U+FFFF), are written
// as U+FFFD, as lone surrogates are by the conversion: one of them in a sample, a file name or a
// mixture would make the whole document unreadable. The stored texts are not touched.
void SetXmlText(pugi::xml_node node, const char* name, std::u16string_view value);

} // namespace sepmet
