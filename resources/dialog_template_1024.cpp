#include "resources/control_ids.h"
#include "resources/dialog_templates.h"

namespace sepmet {
namespace {

// The page "Расчет": the methanol content of the gas.
constexpr DialogControl kControls[] = {
    {ControlId::Page::ResultGrid, ControlKind::ListView, u"", 7, 7, 119, 82},
};

constexpr DialogTemplate kTemplate{1024, u"", 133, 96, kControls};

} // namespace

const DialogTemplate& CalcPageTemplate() {
    return kTemplate;
}

} // namespace sepmet
