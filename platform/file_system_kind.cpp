#include "platform/file_system_kind.h"

#include <cctype>

namespace sepmet {

std::string PercentEncodedPath(const std::string& absolute) {
    static const char hex[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : absolute) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 15];
        }
    }
    return encoded;
}

} // namespace sepmet
