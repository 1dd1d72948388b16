#include "platform/random_bytes.h"

#include <cerrno>
#include <cstring>
#include <sys/random.h>

namespace sepmet {

std::string FillRandomBytes(void* data, std::size_t size) {
    auto* bytes = static_cast<unsigned char*>(data);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = getrandom(bytes + got, size - got, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return std::strerror(n < 0 ? errno : EIO);
        got += static_cast<std::size_t>(n);
    }
    return {};
}

} // namespace sepmet
