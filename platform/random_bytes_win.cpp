#include "platform/random_bytes.h"
#include "platform/win_text.h"

// clang-format off
#include <windows.h> // first: bcrypt.h needs its types
#include <bcrypt.h>
// clang-format on

namespace sepmet {

std::string FillRandomBytes(void* data, std::size_t size) {
    const NTSTATUS status =
        BCryptGenRandom(nullptr, static_cast<PUCHAR>(data), static_cast<ULONG>(size),
                        BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (status < 0)
        return "BCryptGenRandom failed: " + SystemErrorText(static_cast<unsigned long>(status));
    return {};
}

} // namespace sepmet
