#pragma once
// The plug-in's process-wide state, owned by the library for as long as it is loaded.

#include "plugin/host_api.h"

#include <string>

namespace sepmet {

class MainWindow;

struct ModuleState {
    const HostApi* hostApi = nullptr;       // from Load; never copied or freed
    HostWord modulesLoadedSubscription = 0; // from subscribe in Load
    HostWord menuCommandService = 0;        // from registerService; 0 until start-up ran
    MainWindow* mainDialog = nullptr;       // the single main window object, if any
    bool recreateMainDialog = true;         // true: the next menu command builds a new window
    std::u16string profileBase;             // profile base key; empty until start-up ran
};

ModuleState& Module();

// Back to the state of a freshly loaded library (the main window object is not touched).
void ResetModuleState();

} // namespace sepmet
