#include "audit/sha256_digest.h"

#include <openssl/evp.h>
#include <stdexcept>

namespace sepmet::audit {

Sha256Digest ComputeSha256(std::string_view bytes) {
    Sha256Digest digest{};
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr) !=
            1 ||
        length != digest.size())
        throw std::runtime_error("SHA-256 is not available");
    return digest;
}

} // namespace sepmet::audit
