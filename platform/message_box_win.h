#pragma once
// Message boxes shown by Windows (MessageBoxW), owned by the host's window.

#include "platform/message_box.h"

namespace sepmet {

class WindowsMessageBoxService final : public MessageBoxService {
public:
    void Show(std::intptr_t owner, std::u16string_view caption, std::u16string_view text,
              MessageIcon icon) override;
};

} // namespace sepmet
