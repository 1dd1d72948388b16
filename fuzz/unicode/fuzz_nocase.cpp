// Both NOCASE comparisons on two exact-size heap copies (the second at an odd address), so
// that any read past a length is caught; the order must be antisymmetric and every text must
// equal itself.

#include "data/unicode_collation.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace sepmet;

namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

void* Context(int encoding) {
    return reinterpret_cast<void*>(static_cast<std::intptr_t>(encoding));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::size_t split = std::min<std::size_t>(data[0], size - 1);
    const std::size_t size1 = split, size2 = size - 1 - split;
    std::unique_ptr<std::uint8_t[]> first(new std::uint8_t[size1]);
    std::unique_ptr<std::uint8_t[]> second(new std::uint8_t[size2 + 1]);
    std::memcpy(first.get(), data + 1, size1);
    std::memcpy(second.get() + 1, data + 1 + split, size2);
    const void* a = first.get();
    const void* b = second.get() + 1;
    const int n1 = static_cast<int>(size1), n2 = static_cast<int>(size2);
    for (const int encoding : {kNoCaseUtf8, kNoCaseUtf16}) {
        const int forward = NoCaseCompare(Context(encoding), n1, a, n2, b);
        const int backward = NoCaseCompare(Context(encoding), n2, b, n1, a);
        if (Sign(forward) != -Sign(backward) || NoCaseCompare(Context(encoding), n1, a, n1, a) != 0)
            std::abort();
    }
    return 0;
}
