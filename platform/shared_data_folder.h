#pragma once
// The folder of documents shared by all users, where the host installation keeps its templates.

#include <optional>
#include <string>

namespace sepmet {

// The report template below the shared data folder.
inline constexpr const char* kReportTemplateRelativePath = "Orvane4/Templates/sepmet/Report.xsl";

// The system's shared data folder. Linux: the first directory of $XDG_DATA_DIRS (unset or empty:
// "/usr/local/share:/usr/share") that holds kReportTemplateRelativePath, else the first directory
// of the list; relative entries are ignored, as the XDG base directory rules require, and with
// none left there is no folder; trailing '/' are removed (the root stays "/"). Windows: the
// public documents folder.
std::optional<std::string> SystemSharedDataFolder();

// The folder set by SetSharedDataFolder, else SystemSharedDataFolder().
std::optional<std::string> SharedDataFolder();

// Puts `folder` in place of the system's folder for this process (nullopt: no folder at all), so
// that tests read templates of their own on either system; ResetSharedDataFolder returns to the
// system's folder.
void SetSharedDataFolder(std::optional<std::string> folder);
void ResetSharedDataFolder();

// `relativePath` below `folder`, joined with one separator of this system.
std::string SharedDataFile(const std::string& folder, const char* relativePath);

} // namespace sepmet
