#include "resources/control_ids.h"
#include "resources/dialog_templates.h"

namespace sepmet {
namespace {

// "О плагине". The vendor, name and copyright texts are the project's own.
constexpr DialogControl kControls[] = {
    {ControlId::About::Ok, ControlKind::DefaultPushButton, u"ОК", 198, 116, 50, 14},
    {ControlId::About::Icon, ControlKind::Icon, u"", 16, 18, 20, 20},
    {ControlId::About::Developers, ControlKind::Static, u"Разработчики sepmet", 88, 14, 91, 8},
    {ControlId::About::Version, ControlKind::Static, u"sepmet 1 Версия: 1.0.2.0", 88, 47, 93, 8},
    {ControlId::About::Copyright, ControlKind::Static, u"© 2026 Разработчики sepmet", 88, 63, 126,
     8},
    {ControlId::About::Text, ControlKind::ReadOnlyText, u"", 16, 81, 219, 29},
    {ControlId::About::Description, ControlKind::Static,
     u"Разработчики sepmet: Метанол в газе сепарации", 88, 31, 118, 8},
};

constexpr DialogTemplate kTemplate{1028, u"О плагине", 255, 137, kControls};

} // namespace

const DialogTemplate& AboutDialogTemplate() {
    return kTemplate;
}

} // namespace sepmet
