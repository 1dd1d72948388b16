#pragma once
// Message boxes behind an interface: the window installs one that shows real dialogs, the batch
// program one that prints, and tests one that records caption, text and icon.

#include <cstdint>
#include <string>
#include <string_view>

namespace sepmet {

enum class MessageIcon { Error, Warning, Information };

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // `owner` is the owning window as a host word (0: no owner). Returns when the box is closed.
    virtual void Show(std::intptr_t owner, std::u16string_view caption, std::u16string_view text,
                      MessageIcon icon) = 0;
    // A Yes/No question with No the default button; true when Yes was chosen. A service that
    // cannot ask (standard error, a batch run) answers No, so nothing is lost unasked.
    virtual bool AskYesNo(std::intptr_t owner, std::u16string_view caption,
                          std::u16string_view text);
};

// The service in use; until one is installed, messages are written to standard error.
MessageBoxService& CurrentMessageBoxService();
// Installs `service` (not owned); nullptr restores the standard-error service.
void SetMessageBoxService(MessageBoxService* service);
// Whether no service is installed (messages go to standard error): a window installs its own
// only then, leaving one someone else installed (a test's recorder, a host's own) in place.
bool DefaultMessageBoxServiceInUse();

inline void ShowMessageBox(std::intptr_t owner, std::u16string_view caption,
                           std::u16string_view text, MessageIcon icon) {
    CurrentMessageBoxService().Show(owner, caption, text, icon);
}

inline bool AskYesNo(std::intptr_t owner, std::u16string_view caption, std::u16string_view text) {
    return CurrentMessageBoxService().AskYesNo(owner, caption, text);
}

} // namespace sepmet
