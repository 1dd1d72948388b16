#pragma once
// Message boxes shown by Windows (MessageBoxW), owned by the host's window.

#include "platform/message_box.h"

namespace sepmet {

class WindowsMessageBoxService final : public MessageBoxService {
public:
    void Show(std::intptr_t owner, std::u16string_view caption, std::u16string_view text,
              MessageIcon icon) override;
    // Yes and No, No the default button (Enter and Escape answer No).
    bool AskYesNo(std::intptr_t owner, std::u16string_view caption,
                  std::u16string_view text) override;
};

} // namespace sepmet
