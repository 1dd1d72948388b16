#pragma once
// Where "*" opens chromatograms: the host's viewer. The plug-in implements it over the host's
// service, tests over a list.

#include <string>

namespace sepmet {

class AssayViewer {
public:
    virtual ~AssayViewer() = default;
    // False when the host has no viewer: "*" then does nothing.
    virtual bool Available() const = 0;
    // Opens the chromatogram stored under `fileName` (the full stored name).
    virtual void Open(const std::u16string& fileName) = 0;
};

} // namespace sepmet
