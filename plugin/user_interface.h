#pragma once
// The window system's part of Load and Unload. The module links the Qt user interface, which
// defines these; builds without it (the boundary's own tests) link definitions that do nothing.

namespace sepmet {

// Load: installs the message boxes, the opener and the main-window factory when the host runs
// a window system.
void AttachUserInterface();
// Unload: deletes closed windows still waiting for deletion and withdraws what Attach installed.
void DetachUserInterface();

} // namespace sepmet
