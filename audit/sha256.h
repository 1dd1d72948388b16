#pragma once
// SHA-256 digests as lowercase hexadecimal text, the form the audit trail stores and prints.

#include <string>
#include <string_view>

namespace sepmet::audit {

// The 64 lowercase hexadecimal digits of the SHA-256 of `bytes`.
std::string Sha256Hex(std::string_view bytes);

// Of the UTF-16LE bytes of `text` (no byte-order mark): the report document and the template as
// the transformation receives them.
std::string Sha256HexUtf16Le(std::u16string_view text);

} // namespace sepmet::audit
