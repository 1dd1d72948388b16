#include "platform/opener.h"

namespace sepmet {
namespace {

Opener* installed = nullptr;
bool enabled = true;

} // namespace

void SetOpener(Opener* opener) {
    installed = opener;
}

void SetOpeningEnabled(bool on) {
    enabled = on;
}

bool OpeningEnabled() {
    return enabled;
}

bool OpenDocument(const std::string& path) {
    return !(installed && enabled) || installed->Open(path);
}

} // namespace sepmet
