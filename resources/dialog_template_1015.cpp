#include "resources/control_ids.h"
#include "resources/dialog_templates.h"

namespace sepmet {
namespace {

// The page "Сист. сообщения": the lines of the message log.
constexpr DialogControl kControls[] = {
    {ControlId::Page::MessageList, ControlKind::ListBox, u"", 7, 6, 335, 102},
};

constexpr DialogTemplate kTemplate{1015, u"", 349, 115, kControls};

} // namespace

const DialogTemplate& MessagePageTemplate() {
    return kTemplate;
}

} // namespace sepmet
