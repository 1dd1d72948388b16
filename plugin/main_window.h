#pragma once
// The main window as the menu command sees it. The user interface implements MainWindow and
// installs a MainWindowFactory; the boundary itself does not depend on any window framework.

#include "plugin/host_api.h"

namespace sepmet {

class MainWindow {
public:
    virtual ~MainWindow() = default;
    // Builds the window from dialog template 1000 as a modeless dialog. Until it returns, the
    // object belongs to its creator: a failure raises, and the object never deletes itself.
    virtual void CreateModeless() = 0;
    // Shows the window normally (show command 1).
    virtual void ShowNormal() = 0;
    // Unload: saves the window's state, destroys the window at once (nothing left queued for
    // later) and deletes the object.
    virtual void CloseForUnload() = 0;
};

class MainWindowFactory {
public:
    virtual ~MainWindowFactory() = default;
    // A new main window object whose parent is the host window `parent` (a window handle as a
    // word). Once CreateModeless has returned, the object owns itself: when its window has been
    // destroyed it calls MainWindowDestroyed and then deletes itself.
    virtual MainWindow* NewMainWindow(HostWord parent) = 0;
};

// Installs `factory` (not owned); nullptr removes it. Until the user interface installs one,
// the menu command creates no window.
void SetMainWindowFactory(MainWindowFactory* factory);
MainWindowFactory* CurrentMainWindowFactory();

// Called by a main window whose window is gone: the next menu command builds a new one.
void MainWindowDestroyed(MainWindow* window);

} // namespace sepmet
