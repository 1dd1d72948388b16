#pragma once
// Records every message box instead of showing it; installed for the recorder's lifetime.

#include "platform/message_box.h"

#include <string>
#include <vector>

namespace sepmet::testing {

struct ShownMessage {
    std::intptr_t owner = 0;
    std::u16string caption;
    std::u16string text;
    MessageIcon icon = MessageIcon::Error;
};

class MessageBoxRecorder final : public MessageBoxService {
public:
    MessageBoxRecorder() { SetMessageBoxService(this); }
    ~MessageBoxRecorder() override { SetMessageBoxService(nullptr); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    void Show(std::intptr_t owner, std::u16string_view caption, std::u16string_view text,
              MessageIcon icon) override {
        shown.push_back({owner, std::u16string(caption), std::u16string(text), icon});
    }

    std::vector<std::u16string> Texts() const {
        std::vector<std::u16string> texts;
        for (const auto& message : shown)
            texts.push_back(message.text);
        return texts;
    }

    std::vector<ShownMessage> shown;
};

} // namespace sepmet::testing
