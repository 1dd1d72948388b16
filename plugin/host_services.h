#pragma once
// The two calls through which the plug-in reaches the host's named services (named in
// host_api.h), and the wrappers of the calls its window makes: no front end builds a host
// record or turns a word into a pointer.

#include "plugin/host_api.h"
#include "session/assay_viewer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sepmet {

// findService: true when the host offers the service (false before Load).
bool HostHasService(const char* service);

// callService: the host's answer, or kServiceMissing before Load.
HostWord CallHostService(const char* service, HostWord first, HostWord second);

// "Main/OpenAssayIdDlgEx" over `owner`: the identifiers the operator picked (at most
// kAssayIdCapacity; none for a negative answer). Nothing when the host has no picker, the
// operator cancelled (answer 0) or the answer is beyond the capacity.
std::optional<std::vector<std::int32_t>> PickAssays(HostWord owner);

// The host's viewer behind "Main/OpenAssayFile" ("*"): available when the host offers the
// service; each chromatogram is opened by its stored file name.
AssayViewer& HostAssayViewer();

// Posts kAssayListChangedMessage to the parent of `window`'s parent. The window system's part
// installs how a message is posted to a window handle (nothing is posted before).
using WindowMessagePoster = void (*)(HostWord window, int message);
void SetWindowMessagePoster(WindowMessagePoster poster);
void NotifyAssayListChanged(HostWord window);

} // namespace sepmet
