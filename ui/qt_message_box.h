#pragma once
// Message boxes as real dialogs over their owner window, and files opened by the desktop.

#include "platform/message_box.h"
#include "platform/opener.h"

namespace sepmet {

class QtMessageBoxService final : public MessageBoxService {
public:
    // `owner` is a QWidget* as a host word; 0 shows the box without owner.
    void Show(std::intptr_t owner, std::u16string_view caption, std::u16string_view text,
              MessageIcon icon) override;
};

class DesktopOpener final : public Opener {
public:
    bool Open(const std::string& path) override;
};

} // namespace sepmet
