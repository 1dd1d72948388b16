#pragma once
// The plug-in's own icons, compiled in from resources/icons.

#include <QIcon>

namespace sepmet {

namespace IconName {
inline constexpr const char* Add = "add";
inline constexpr const char* Remove = "remove";
inline constexpr const char* RemoveAll = "remove-all";
inline constexpr const char* Open = "open";
inline constexpr const char* Reload = "reload";
inline constexpr const char* Settings = "settings";
inline constexpr const char* Report = "report";
inline constexpr const char* About = "about";
} // namespace IconName

// A button icon by name (IconName), drawn for 16 x 16.
QIcon CommandIcon(const char* name);
// The window icon, big and small; loaded once per process.
const QIcon& WindowIcon();

} // namespace sepmet
