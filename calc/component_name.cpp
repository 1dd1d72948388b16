#include "calc/component_name.h"

#include "data/unicode_maps.h"
#include "resources/strings.h"

#include <cmath>

namespace sepmet {

bool IsComponentName(std::u16string_view name) {
    // Unit by unit through the simple case fold, so «МЕТАНОЛ» and «метанол» match and
    // «Метанол » (trailing blank) does not.
    const std::u16string_view component = LoadString(StringId::Methanol);
    if (name.size() != component.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (FoldUnit(name[i]) != FoldUnit(component[i]))
            return false;
    return true;
}

bool IsComponentPeak(const Peak& peak) {
    return !peak.name.empty() && std::isfinite(peak.area) && peak.area > 0 &&
           IsComponentName(peak.name);
}

} // namespace sepmet
