#pragma once
// Random bytes from the system's cryptographic source.

#include <cstddef>
#include <string>

namespace sepmet {

// Fills `size` bytes at `data`. The empty text on success, else an English reason.
std::string FillRandomBytes(void* data, std::size_t size);

} // namespace sepmet
