#include "audit/sha256.h"

#include "audit/sha256_digest.h"

namespace sepmet::audit {

std::string Sha256Hex(std::string_view bytes) {
    const Sha256Digest digest = ComputeSha256(bytes);
    static const char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * digest.size());
    for (unsigned char byte : digest) {
        out += hex[byte >> 4];
        out += hex[byte & 15];
    }
    return out;
}

std::string Sha256HexUtf16Le(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(2 * text.size());
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return Sha256Hex(bytes);
}

} // namespace sepmet::audit
