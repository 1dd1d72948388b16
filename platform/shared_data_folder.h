#pragma once
// The folder of documents shared by all users, where the host installation keeps its templates.

#include <optional>
#include <string>

namespace sepmet {

// The report template below the shared data folder.
inline constexpr const char* kReportTemplateRelativePath = "Orvane4/Templates/sepmet/Report.xsl";

// The first directory of $XDG_DATA_DIRS (unset or empty: "/usr/local/share:/usr/share") that
// holds kReportTemplateRelativePath, else the first directory of the list. Relative entries are
// ignored, as the XDG base directory rules require; with none left there is no folder. Trailing
// '/' are removed (the root stays "/").
std::optional<std::string> SharedDataFolder();

// `relativePath` below `folder`, joined with one '/'.
std::string SharedDataFile(const std::string& folder, const char* relativePath);

} // namespace sepmet
