#include "plugin/startup_messages.h"

#include "platform/message_box.h"

namespace sepmet {

void ShowPluginError(std::u16string_view text) {
    ShowMessageBox(0, kPluginMessageCaption, text, MessageIcon::Error);
}

} // namespace sepmet
