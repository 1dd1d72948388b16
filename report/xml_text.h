#pragma once
// Texts written into the report's XML documents.

#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace sepmet {

// Appends the attribute `name` with `value`. Characters that XML 1.0 allows nowhere, not even
// escaped (U+0000 to U+001F but tab, line feed and carriage return, U+FFFE, U+FFFF), are written
// as U+FFFD, as lone surrogates are by the conversion: one of them in a sample, a file name or a
// mixture would make the whole document unreadable. The stored texts are not touched.
void SetXmlText(pugi::xml_node node, const char* name, std::u16string_view value);

// Gives `doc` the declaration of a UTF-16LE document and appends its root element `root`.
pugi::xml_node StartUtf16Document(pugi::xml_document& doc, const char* root);
// The document as UTF-16 text, written raw (no indentation).
std::u16string Utf16Text(const pugi::xml_document& doc);

} // namespace sepmet
