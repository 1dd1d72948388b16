#pragma once
// Recognising the methanol peaks of a chromatogram.

#include "data/assay.h"

#include <string_view>

namespace sepmet {

// Whether `name` is the component name "Метанол" without regard to letter case: the whole
// name, unit by unit after simple case folding (Cyrillic and Latin letters fold).
bool IsComponentName(std::u16string_view name);

// A peak the calculation measures: a non-empty component name and a finite area above 0. A
// non-finite area is ignored like an area of 0, so that it can never reach a result.
bool IsComponentPeak(const Peak& peak);

} // namespace sepmet
