#include "resources/control_ids.h"
#include "resources/dialog_templates.h"

namespace sepmet {
namespace {

// The page "Градуировка": the calibration coefficient.
constexpr DialogControl kControls[] = {
    {ControlId::Page::ResultGrid, ControlKind::ListView, u"", 7, 7, 161, 84},
};

constexpr DialogTemplate kTemplate{1017, u"", 175, 98, kControls};

} // namespace

const DialogTemplate& GradPageTemplate() {
    return kTemplate;
}

} // namespace sepmet
