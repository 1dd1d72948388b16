#pragma once
// Start-up work that needs the other host modules: the event "System/ModulesLoaded".

#include "plugin/host_api.h"

namespace sepmet {

// Registers the menu command, asks for the menu item, checks the chromatogram picker, stores
// the database location and sets the profile base key. A missing service is reported in a
// message box and start-up goes on. No parameter is read; returns 0.
HostWord SEPMET_CDECL OnModulesLoaded(HostWord unused1, HostWord unused2);

} // namespace sepmet
