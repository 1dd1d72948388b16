#include "plugin/module_state.h"

namespace sepmet {
namespace {
ModuleState state;
}

ModuleState& Module() {
    return state;
}

void ResetModuleState() {
    state = ModuleState{};
}

} // namespace sepmet
