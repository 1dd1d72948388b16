#pragma once
// Host callbacks are plain C calls: no exception may travel back into the host.

#include <functional>

namespace sepmet {

// Runs `action`; an exception that escapes it is shown in an error message box without owner
// (caption "Плагин: Газ сепарации", the exception's text) instead of reaching the host.
void GuardHostCallback(const std::function<void()>& action);

} // namespace sepmet
