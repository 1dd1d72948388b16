#pragma once
// Common controls version 6 from inside a library: the host's own manifest does not cover a
// plug-in, so the library carries its manifest as resource 2 and activates that context while
// it creates its windows (the window classes resolve at creation).

#include "ui/win32/windows_api.h"

namespace sepmet::win32 {

class ActivationScope {
public:
    ActivationScope();
    ~ActivationScope();
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

} // namespace sepmet::win32
