#pragma once
// The three functions the host finds in sepmet.so by their undecorated names.

#include "plugin/host_api.h"

#if defined(_WIN32)
#define SEPMET_EXPORT __declspec(dllexport)
#else
#define SEPMET_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
// The information record; may be called at any time, also before Load.
SEPMET_EXPORT const sepmet::PluginInfo* SEPMET_CDECL GetPluginInfo();
// Keeps the table and subscribes to "System/ModulesLoaded"; calls no service. Returns 0.
SEPMET_EXPORT int SEPMET_CDECL Load(const sepmet::HostApi* hostApi);
// Withdraws the subscription and the menu command and deletes the database connection object;
// the main window is left alone. Returns 0.
SEPMET_EXPORT int SEPMET_CDECL Unload();
}
