// The window's memory between openings, its settings dialog and its about box.

#include "calc/calculation_state.h"
#include "ui/dlg_about.h"
#include "ui/dlg_main.h"
#include "ui/dlg_settings.h"
#include "ui/window_placement.h"
#include "ui/window_state.h"

namespace sepmet {

void DlgMain::SaveWindowState() {
    SaveRowMarks(); // the rows' check states into the chromatograms
    SaveAssayList(assays_);
    // The frame, title bar included: RestoreWindowState puts the frame back where it was.
    SaveWindowRect(ToStoredRect(frameGeometry()));
    SaveMeasurementSettings(ProcessCalculationState().settings);
}

void DlgMain::RestoreWindowState() {
    const AssayListRestore restore = RestoreAssayList(assays_, DatabaseAssayLoader());
    if (restore.restored > 0) {
        RefreshAssayList();
        NotifyHost();
    }
    if (restore.databaseFailed)
        ReportUnrestoredAssays(WindowHandle(), restore.databaseError);

    // At first opening the window keeps its own size: template 1000, at least the minimum.
    const QRect frame =
        PlaceWindow(ReadWindowRect(), CurrentScreenLayout(), frameGeometry().size());
    ApplyFrameGeometry(*this, frame);
    update();

    ProcessCalculationState().settings = ReadMeasurementSettings();
}

void DlgMain::CreateSettingsDialog() {
    settingsDialog_ = new DlgSettings(this, ProcessCalculationState().settings);
}

void DlgMain::OnSettingsCommand() {
    if (settingsDialog_->exec() != QDialog::Accepted)
        return;
    ProcessCalculationState().threeMeasurementsRequired = false;
    Recalculate();
}

void DlgMain::OnAboutCommand() {
    // Over the main window, as from its system menu; a new box at every request.
    DlgAbout about(this);
    about.exec();
}

} // namespace sepmet
