#pragma once
// Conversions between the UTF-16 texts of the core and UTF-8 (SQLite messages, file names,
// console output). Ill-formed input becomes U+FFFD.

#include <string>
#include <string_view>

namespace sepmet {

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

} // namespace sepmet
