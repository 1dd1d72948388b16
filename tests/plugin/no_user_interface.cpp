// The boundary's tests run without a window system: Load and Unload install nothing.

#include "plugin/user_interface.h"

namespace sepmet {

void AttachUserInterface() {}
void DetachUserInterface() {}

} // namespace sepmet
