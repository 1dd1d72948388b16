#include "audit/sha256_digest.h"

#include <limits>
#include <stdexcept>

// clang-format off
#include <windows.h> // first: the other Windows headers need its types
#include <bcrypt.h>
// clang-format on

namespace sepmet::audit {

// BCryptHash hashes in one call; the algorithm provider is opened once per process and kept.
Sha256Digest ComputeSha256(std::string_view bytes) {
    static const BCRYPT_ALG_HANDLE algorithm = [] {
        BCRYPT_ALG_HANDLE handle = nullptr;
        if (!BCRYPT_SUCCESS(
                BCryptOpenAlgorithmProvider(&handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
            handle = nullptr;
        return handle;
    }();
    if (!algorithm || bytes.size() > std::numeric_limits<ULONG>::max())
        throw std::runtime_error("SHA-256 is not available");
    Sha256Digest digest{};
    const NTSTATUS status =
        BCryptHash(algorithm, nullptr, 0, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                   static_cast<ULONG>(bytes.size()), digest.data(), digest.size());
    if (!BCRYPT_SUCCESS(status))
        throw std::runtime_error("SHA-256 is not available");
    return digest;
}

} // namespace sepmet::audit
