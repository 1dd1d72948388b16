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

    // Records the question apart from the boxes and answers `answer`.
    bool AskYesNo(std::intptr_t owner, std::u16string_view caption,
                  std::u16string_view text) override {
        questions.push_back(
            {owner, std::u16string(caption), std::u16string(text), MessageIcon::Information});
        return answer;
    }

    std::vector<std::u16string> Texts() const {
        std::vector<std::u16string> texts;
        for (const auto& message : shown)
            texts.push_back(message.text);
        return texts;
    }

    std::vector<ShownMessage> shown;
    std::vector<ShownMessage> questions;
    bool answer = false; // what every question is answered: No, the default button
};

} // namespace sepmet::testing
