#pragma once
// UTF-16 texts of the core as Qt strings.

#include <QString>
#include <string_view>

namespace sepmet {

inline QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace sepmet
