#include "platform/message_box.h"

#include "platform/utf.h"

#include <cstdio>

namespace sepmet {
namespace {

class StandardErrorMessageBox final : public MessageBoxService {
public:
    void Show(std::intptr_t, std::u16string_view caption, std::u16string_view text,
              MessageIcon icon) override {
        const char* kind = icon == MessageIcon::Error     ? "error"
                           : icon == MessageIcon::Warning ? "warning"
                                                          : "information";
        std::fprintf(stderr, "%s (%s): %s\n", ToUtf8(caption).c_str(), kind, ToUtf8(text).c_str());
    }
};

StandardErrorMessageBox standardError;
MessageBoxService* current = nullptr;

} // namespace

bool MessageBoxService::AskYesNo(std::intptr_t, std::u16string_view caption,
                                 std::u16string_view text) {
    std::fprintf(stderr, "%s (question, answered no): %s\n", ToUtf8(caption).c_str(),
                 ToUtf8(text).c_str());
    return false;
}

MessageBoxService& CurrentMessageBoxService() {
    return current ? *current : standardError;
}

void SetMessageBoxService(MessageBoxService* service) {
    current = service;
}

bool DefaultMessageBoxServiceInUse() {
    return current == nullptr;
}

} // namespace sepmet
