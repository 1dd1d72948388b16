#pragma once
// The host's message boxes as real dialogs.

#include "platform/message_box.h"

namespace sepmet::host {

class QtMessageBoxService final : public MessageBoxService {
public:
    void Show(std::intptr_t owner, std::u16string_view caption, std::u16string_view text,
              MessageIcon icon) override;
};

} // namespace sepmet::host
