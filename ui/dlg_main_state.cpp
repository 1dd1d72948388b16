// The window's memory between openings, its settings dialog and its about box.

#include "platform/message_box.h"
#include "plugin/host_services.h"
#include "plugin/startup_messages.h"
#include "ui/dlg_about.h"
#include "ui/dlg_main.h"
#include "ui/dlg_settings.h"
#include "ui/grid_ctrl.h"
#include "ui/window_placement.h"

#include <vector>

namespace sepmet {

void DlgMain::SaveWindowState() {
    SaveRowMarks(); // the rows' check states into the chromatograms
    // The columns before the filling last one, as the operator left them.
    std::vector<int> widths;
    for (int column = 0; column + 1 < assayList_->Model().columnCount(); ++column)
        widths.push_back(assayList_->columnWidth(column));
    // The frame, title bar included: RestoreWindowState puts the frame back where it was.
    session_->SaveState(profile_, ToStoredRect(frameGeometry()), widths);
}

void DlgMain::RestoreWindowState() {
    // The list refreshed and the host told once, the pages filled, a failed restore said.
    ShowResult(session_->Open(profile_, DatabaseAssayLoader()));

    const std::vector<int> widths =
        ReadListColumnWidths(profile_, assayList_->Model().columnCount() - 1);
    for (std::size_t column = 0; column < widths.size(); ++column)
        if (widths[column] > 0)
            assayList_->setColumnWidth(static_cast<int>(column), widths[column]);
    assayList_->FitFillColumn();

    // At first opening the window keeps its own size: template 1000, at least the minimum.
    const QRect frame =
        PlaceWindow(ReadWindowRect(profile_), CurrentScreenLayout(), frameGeometry().size());
    BoundMinimumSizeToScreen(*this, QSize(kMinimumWidth, kMinimumHeight), frame);
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
