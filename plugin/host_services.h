#pragma once
// The host's named services and the two calls through which the plug-in reaches them.

#include "plugin/host_api.h"

namespace sepmet {

namespace HostService {
inline constexpr const char* ModulesLoaded = "System/ModulesLoaded"; // event
inline constexpr const char* MenuCommand = "sepmet/MenuCommand";     // the plug-in's own
inline constexpr const char* CreateNewMenu = "MainMenu/CreateNewMenu";
inline constexpr const char* OpenAssayIdDlg = "Main/OpenAssayIdDlgEx";
inline constexpr const char* OpenAssayFile = "Main/OpenAssayFile";
inline constexpr const char* GetConnectionUri = "DB/GetConnectionUri";
inline constexpr const char* ProfileDelParam = "Profile/DelParam";
inline constexpr const char* ProfileGetInt = "Profile/GetInt";
inline constexpr const char* ProfileGetString = "Profile/GetString";
inline constexpr const char* ProfileGetDouble = "Profile/GetDouble";
inline constexpr const char* ProfileSetInt = "Profile/SetInt";
inline constexpr const char* ProfileSetString = "Profile/SetString";
inline constexpr const char* ProfileSetDouble = "Profile/SetDouble";
} // namespace HostService

// findService: true when the host offers the service (false before Load).
bool HostHasService(const char* service);

// callService: the host's answer, or kServiceMissing before Load.
HostWord CallHostService(const char* service, HostWord first, HostWord second);

} // namespace sepmet
