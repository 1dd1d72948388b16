#pragma once
// Hands a written file to the desktop to open in the user's viewer. The user interface installs
// the desktop implementation; until then, and whenever opening is switched off (tests, headless
// runs), nothing is opened.

#include <string>

namespace sepmet {

class Opener {
public:
    virtual ~Opener() = default;
    // Asks the desktop to open `path`; false when the desktop refused or has no viewer for it.
    virtual bool Open(const std::string& path) = 0;
};

// Installs `opener` (not owned); nullptr removes it.
void SetOpener(Opener* opener);
// Switches opening on or off without removing the installed opener; on by default.
void SetOpeningEnabled(bool enabled);
bool OpeningEnabled();

// Opens `path` with the installed opener when one is installed and opening is on. False only when
// the opener was asked and failed.
bool OpenDocument(const std::string& path);

} // namespace sepmet
