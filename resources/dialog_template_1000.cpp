#include "resources/control_ids.h"
#include "resources/dialog_templates.h"

namespace sepmet {
namespace {

// The main window: eight icon buttons down the left edge, the chromatogram list and the result
// tabs below it.
constexpr DialogControl kControls[] = {
    {ControlId::Main::Add, ControlKind::IconButton, u"+", 7, 7, 16, 14},
    {ControlId::Main::RemoveSelected, ControlKind::IconButton, u"-", 7, 22, 16, 14},
    {ControlId::Main::RemoveAll, ControlKind::IconButton, u"--", 7, 37, 16, 14},
    {ControlId::Main::Open, ControlKind::IconButton, u"*", 7, 52, 16, 14},
    {ControlId::Main::Reload, ControlKind::IconButton, u"R", 7, 67, 16, 14},
    {ControlId::Main::Settings, ControlKind::IconButton, u"S", 7, 82, 16, 14},
    {ControlId::Main::Report, ControlKind::IconButton, u"->", 7, 97, 16, 14},
    {ControlId::Main::AssayList, ControlKind::ListView, u"", 26, 7, 516, 119},
    {ControlId::Main::Tabs, ControlKind::TabControl, u"", 7, 127, 535, 127},
    {ControlId::Main::About, ControlKind::IconButton, u"i", 7, 112, 16, 14},
};

constexpr DialogTemplate kTemplate{1000, u"Метанол в газе сепарации", 549, 264, kControls};

} // namespace

const DialogTemplate& MainDialogTemplate() {
    return kTemplate;
}

} // namespace sepmet
