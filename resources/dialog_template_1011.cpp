#include "resources/control_ids.h"
#include "resources/dialog_templates.h"

namespace sepmet {
namespace {

// The page "Инф. с хром.": the peaks of the clicked chromatogram.
constexpr DialogControl kControls[] = {
    {ControlId::Page::PeakGrid, ControlKind::ListView, u"", 7, 7, 288, 105},
};

constexpr DialogTemplate kTemplate{1011, u"", 302, 119, kControls};

} // namespace

const DialogTemplate& ComponentsPageTemplate() {
    return kTemplate;
}

} // namespace sepmet
