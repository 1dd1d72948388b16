#pragma once

#include <string>
#include <string_view>

namespace sepmet {

// The last component of a chromatogram's stored path: the text after the last '\', '/' or ':'
// that is followed by a further character other than '\' or '/'; without such a separator the
// whole text. "D:\data\run1.chr" gives "run1.chr".
std::u16string LastPathComponent(std::u16string_view path);

} // namespace sepmet
