#include "platform/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace sepmet {

std::string WriteFileAtomically(const std::string& path, std::string_view bytes) {
    AtomicFile file(path);
    if (!file.isOpen())
        return file.error();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1u << 30);
#if defined(_WIN32)
        const long n = ::_write(file.fd(), bytes.data() + done, static_cast<unsigned>(chunk));
#else
        const long n = ::write(file.fd(), bytes.data() + done, chunk);
#endif
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return "Cannot write \"" + path + "\": " + std::strerror(n < 0 ? errno : EIO);
        done += static_cast<std::size_t>(n);
    }
    return file.Commit();
}

} // namespace sepmet
