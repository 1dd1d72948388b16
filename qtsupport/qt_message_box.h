#pragma once
// Message boxes as real dialogs over their owner window, for the plug-in's window and the host.

#include "platform/message_box.h"

namespace sepmet {

class QtMessageBoxService final : public MessageBoxService {
public:
    // `owner` is a QWidget* as a host word; 0 shows the box without owner.
    void Show(std::intptr_t owner, std::u16string_view caption, std::u16string_view text,
              MessageIcon icon) override;
};

} // namespace sepmet
