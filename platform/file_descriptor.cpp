#include "platform/temp_file.h"

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace sepmet {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace sepmet
