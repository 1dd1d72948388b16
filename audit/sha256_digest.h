#pragma once
// The SHA-256 digest itself, from the system's cryptography: libcrypto on Linux, bcrypt on
// Windows. Raises std::runtime_error when the system offers no SHA-256.

#include <array>
#include <string_view>

namespace sepmet::audit {

using Sha256Digest = std::array<unsigned char, 32>;

Sha256Digest ComputeSha256(std::string_view bytes);

} // namespace sepmet::audit
