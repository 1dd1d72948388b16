#include "plugin/callback_guard.h"

#include "platform/utf.h"
#include "plugin/startup_messages.h"

#include <exception>
#include <string>

namespace sepmet {

void GuardHostCallback(const std::function<void()>& action) {
    std::u16string text;
    try {
        action();
        return;
    } catch (const std::exception& error) {
        text = FromUtf8(error.what());
    } catch (...) {
        text = u"Unknown error.";
    }
    try {
        ShowPluginError(text);
    } catch (...) {
        // Nothing is left that could tell the operator; the host must not see the exception.
    }
}

} // namespace sepmet
