#pragma once
// The plug-in's information record, constant for as long as the library is loaded.

#include "plugin/host_api.h"

namespace sepmet {

const PluginInfo& PluginInformation();

} // namespace sepmet
