#include "report/xml_writer_source.h"

#include <bit>
#include <cstring>

namespace sepmet {

void xml_writer_source::write(const void* data, size_t size) {
    if (!data)
        return;
    const auto* bytes = static_cast<const unsigned char*>(data);
    const size_t units = size / 2;
    const size_t start = target_.size();
    target_.resize(start + units);
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(target_.data() + start, bytes, units * 2);
        return;
    }
    // Assembled from the bytes, so the text is right whatever the byte order of the machine.
    for (size_t i = 0; i < units; ++i)
        target_[start + i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
}

} // namespace sepmet
