// The window's state, settings and about box: replaced by the settings and persistence work.

#include "ui/dlg_main.h"

namespace sepmet {

void DlgMain::SaveWindowState() {}

void DlgMain::RestoreWindowState() {}

void DlgMain::CreateSettingsDialog() {}

void DlgMain::OnSettingsCommand() {}

void DlgMain::OnAboutCommand() {}

} // namespace sepmet
