// The window's memory between openings, its settings dialog and its about box.

#include "platform/message_box.h"
#include "plugin/host_services.h"
#include "plugin/startup_messages.h"
#include "ui/dlg_about.h"
#include "ui/dlg_main.h"
#include "ui/dlg_settings.h"
#include "ui/window_placement.h"

namespace sepmet {

void DlgMain::SaveWindowState() {
    SaveRowMarks(); // the rows' check states into the chromatograms
    // The frame, title bar included: RestoreWindowState puts the frame back where it was.
    session_->SaveState(profile_, ToStoredRect(frameGeometry()));
}

void DlgMain::RestoreWindowState() {
    // The list refreshed and the host told once, the pages filled, a failed restore said.
    ShowResult(session_->Open(profile_, DatabaseAssayLoader()));

    // At first opening the window keeps its own size: template 1000, at least the minimum.
    const QRect frame =
        PlaceWindow(ReadWindowRect(profile_), CurrentScreenLayout(), frameGeometry().size());
    ApplyFrameGeometry(*this, frame);
    update();
}

void DlgMain::CreateSettingsDialog() {
    settingsDialog_ = new DlgSettings(this, editedSettings_);
}

void DlgMain::OnSettingsCommand() {
    editedSettings_ = session_->State().settings;
    if (settingsDialog_->exec() != QDialog::Accepted)
        return;
    ShowResult(session_->ApplySettings(editedSettings_));
}

void DlgMain::OnAboutCommand() {
    // Over the main window, as from its system menu; a new box at every request.
    DlgAbout about(this);
    about.exec();
}

} // namespace sepmet
