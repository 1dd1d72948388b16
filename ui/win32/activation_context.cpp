#include "ui/win32/activation_context.h"

#include "ui/win32/dialog.h"

namespace sepmet::win32 {
namespace {

// ISOLATIONAWARE_MANIFEST_RESOURCE_ID: the manifest a library carries for itself.
constexpr WORD kManifestResource = 2;

// Created once for the module and kept while it is loaded; INVALID_HANDLE_VALUE when the
// module carries no manifest (the controls are then the system's default version).
HANDLE ModuleContext() {
    static const HANDLE context = [] {
        ACTCTXW request{};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.hModule = ResourceModule();
        request.lpResourceName = MAKEINTRESOURCEW(kManifestResource);
        return CreateActCtxW(&request);
    }();
    return context;
}

} // namespace

ActivationScope::ActivationScope() {
    const HANDLE context = ModuleContext();
    if (context != INVALID_HANDLE_VALUE)
        active_ = ActivateActCtx(context, &cookie_) != FALSE;
}

ActivationScope::~ActivationScope() {
    if (active_)
        DeactivateActCtx(0, cookie_);
}

} // namespace sepmet::win32
