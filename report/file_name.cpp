#include "report/file_name.h"

namespace sepmet {
namespace {

bool IsSlash(char16_t c) {
    return c == u'\\' || c == u'/';
}

} // namespace

std::u16string LastPathComponent(std::u16string_view path) {
    for (std::size_t i = path.size(); i-- > 1;) {
        const char16_t separator = path[i - 1];
        if ((IsSlash(separator) || separator == u':') && !IsSlash(path[i]))
            return std::u16string(path.substr(i));
    }
    return std::u16string(path);
}

} // namespace sepmet
