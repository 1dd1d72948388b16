#pragma once
// Where the host finds its plug-ins, keeps its profile and writes the demo database.

#include <QString>

namespace sepmet::host {

// ../lib/sepmet/plugins beside the executable's folder; when the executable runs from the
// build tree and that folder does not exist, the build's plug-in folder.
QString DefaultPluginFolder();
// $XDG_CONFIG_HOME/sepmet/profile.sqlite ($XDG_CONFIG_HOME defaults to ~/.config).
QString DefaultProfileFile();
// $XDG_DATA_HOME/sepmet/demo.sqlite ($XDG_DATA_HOME defaults to ~/.local/share).
QString DemoDatabaseFile();

// Writes the demo database at `path` unless the file exists; the empty text on success.
QString EnsureDemoDatabase(const QString& path);

} // namespace sepmet::host
