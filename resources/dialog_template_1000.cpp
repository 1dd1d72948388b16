#include "resources/dialog_templates.h"

namespace sepmet {
namespace {

// The main window: eight icon buttons down the left edge, the chromatogram list and the result
// tabs below it.
constexpr DialogControl kControls[] = {
    {1000, ControlKind::IconButton, u"+", 7, 7, 16, 14},
    {1001, ControlKind::IconButton, u"-", 7, 22, 16, 14},
    {1002, ControlKind::IconButton, u"--", 7, 37, 16, 14},
    {1003, ControlKind::IconButton, u"*", 7, 52, 16, 14},
    {1004, ControlKind::IconButton, u"R", 7, 67, 16, 14},
    {1008, ControlKind::IconButton, u"S", 7, 82, 16, 14},
    {1005, ControlKind::IconButton, u"->", 7, 97, 16, 14},
    {1006, ControlKind::ListView, u"", 26, 7, 516, 119},
    {1007, ControlKind::TabControl, u"", 7, 127, 535, 127},
    {1022, ControlKind::IconButton, u"i", 7, 112, 16, 14},
};

constexpr DialogTemplate kTemplate{1000, u"Метанол в газе сепарации", 549, 264, kControls};

} // namespace

const DialogTemplate& MainDialogTemplate() {
    return kTemplate;
}

} // namespace sepmet
