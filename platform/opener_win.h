#pragma once
// Opens a file in the program Windows associates with its type (ShellExecuteW "open").

#include "platform/opener.h"

namespace sepmet {

class ShellOpener final : public Opener {
public:
    bool Open(const std::string& path) override;
};

} // namespace sepmet
