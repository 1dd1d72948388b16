#include "resources/control_ids.h"
#include "resources/dialog_templates.h"

namespace sepmet {
namespace {

// "Настройки": the five measurement conditions. Template order is the tab order.
constexpr DialogControl kControls[] = {
    {ControlId::Settings::VW, ControlKind::Edit, u"", 308, 7, 102, 14},
    {ControlId::Settings::VG, ControlKind::Edit, u"", 308, 23, 102, 14},
    {ControlId::Settings::RhoG, ControlKind::Edit, u"", 308, 39, 102, 14},
    {ControlId::Settings::Apply, ControlKind::PushButton, u"Применить", 308, 88, 50, 14},
    {ControlId::Settings::Cancel, ControlKind::PushButton, u"Отмена", 360, 88, 50, 14},
    {-1, ControlKind::Static, u"Плотность газа сепарации, вычисленная по ГОСТ 31369, г/дм3 :", 7,
     42, 220, 8},
    {-1, ControlKind::Static,
     u"Суммарный объем воды, внесенный в первую и вторую поглотительные склянки, см3 :", 7, 10, 300,
     8},
    {-1, ControlKind::Static, u"Объем пробы газа сепарации, измеренный газовым счетчиком, дм3 :", 7,
     26, 235, 8},
    {ControlId::Settings::AtmP, ControlKind::Edit, u"", 308, 55, 102, 14},
    {ControlId::Settings::GasT, ControlKind::Edit, u"", 308, 71, 102, 14},
    {-1, ControlKind::Static, u"Атмосферное барометрическое давление, кПа :", 7, 58, 164, 8},
    {-1, ControlKind::Static, u"Температура газа в газовом счетчике, °С :", 7, 74, 147, 8},
};

constexpr DialogTemplate kTemplate{1020, u"Настройки", 417, 109, kControls};

} // namespace

const DialogTemplate& SettingsDialogTemplate() {
    return kTemplate;
}

} // namespace sepmet
