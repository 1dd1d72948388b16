#pragma once
// Files opened by the desktop (the report in the browser).

#include "platform/opener.h"

namespace sepmet {

class DesktopOpener final : public Opener {
public:
    void Open(const std::string& path) override;
};

} // namespace sepmet
