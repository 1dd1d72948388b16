#pragma once
// The plug-in's own service "sepmet/MenuCommand": the operator chose its menu item.

#include "plugin/host_api.h"

namespace sepmet {

// Creates the single main window if none is usable and shows it. `parent` is the host window
// that becomes the main window's parent; the second parameter is not read. Returns 0.
HostWord SEPMET_CDECL OnMenuCommand(HostWord parent, HostWord unused);

} // namespace sepmet
