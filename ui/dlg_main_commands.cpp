// The main window's commands: each turned into the session's command, its result shown.

#include "platform/message_box.h"
#include "platform/utf.h"
#include "plugin/host_services.h"
#include "plugin/startup_messages.h"
#include "qtsupport/qt_text.h"
#include "report/report_generator.h"
#include "ui/dlg_main.h"
#include "ui/grid_ctrl.h"
#include "ui/result_tabs.h"

#include <QItemSelectionModel>
#include <optional>

namespace sepmet {

void DlgMain::ShowError(std::u16string_view text) {
    ShowMessageBox(WindowHandle(), kPluginMessageCaption, text, MessageIcon::Error);
}

void DlgMain::NotifyAssayListChanged() {
    sepmet::NotifyAssayListChanged(WindowHandle());
}

void DlgMain::ClearPeakPage() {
    assayList_->selectionModel()->clearCurrentIndex(); // the page empties with it
}

void DlgMain::ShowRecalculation(const Recalculation& recalculation) {
    gradPage_->Apply(recalculation.gradPage);
    calcPage_->Apply(recalculation.calcPage);
    messageTab_->ShowLines(recalculation.messages);
}

void DlgMain::RefreshAssayList() {
    // The current chromatogram stays current when it is still listed.
    const QModelIndex current = assayList_->currentIndex();
    std::optional<std::int32_t> currentId;
    if (current.isValid())
        currentId = assayList_->Model().Data(current.row()).userData;
    std::vector<GridModel::Row> rows;
    for (AssayListRow& listed : session_->ListRows()) {
        GridModel::Row row;
        row.cells = {ToQString(listed.number), ToQString(listed.fileName), ToQString(listed.sample),
                     ToQString(listed.type), ToQString(listed.mixture)};
        row.data.userData = listed.id;
        row.checkState = listed.isChecked;
        rows.push_back(std::move(row));
    }
    assayList_->Model().SetRows(std::move(rows));
    const GridModel& model = assayList_->Model();
    for (int row = 0; currentId && row < model.rowCount(); ++row)
        if (model.Data(row).userData == *currentId) {
            assayList_->selectionModel()->setCurrentIndex(model.index(row, 0),
                                                          QItemSelectionModel::NoUpdate);
            break;
        }
    ShowCurrentPeaks(); // "R" may have read the peaks afresh
}

void DlgMain::SaveRowMarks() {
    const GridModel& model = assayList_->Model();
    std::vector<std::int32_t> marks;
    for (int row = 0; row < model.rowCount(); ++row)
        marks.push_back(model.CheckState(row));
    session_->SetMarks(marks);
}

void DlgMain::OnAddCommand() {
    SaveRowMarks();
    if (const std::optional<std::vector<std::int32_t>> ids = PickAssays(WindowHandle()))
        ShowResult(session_->AddAssays(*ids));
}

void DlgMain::OnRemoveSelectedCommand() {
    std::vector<std::size_t> positions;
    for (int row : assayList_->SelectedRows())
        positions.push_back(static_cast<std::size_t>(row));
    ShowResult(session_->RemovePositions(positions));
}

void DlgMain::OnRemoveAllCommand() {
    const std::optional<std::u16string> question = session_->RemoveAllQuestion();
    if (question && !AskYesNo(WindowHandle(), kPluginMessageCaption, *question))
        return;
    ShowResult(session_->RemoveAll());
}

void DlgMain::OnOpenCommand() {
    const std::vector<int> selected = assayList_->SelectedRows();
    ShowResult(session_->OpenInViewer({selected.begin(), selected.end()}, HostAssayViewer()));
}

void DlgMain::OnReloadCommand() {
    ShowResult(session_->Reload());
}

void DlgMain::OnReportCommand() {
    reportGenerator_->assays = &session_->Assays();
    reportGenerator_->SetOwnerWindow(WindowHandle());
    if (reportGenerator_->Generate())
        reportGenerator_->OpenOutput();
}

void DlgMain::OnListClick(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= session_->Assays().Count())
        return;
    const auto position = static_cast<std::size_t>(row);
    componentsPage_->Show(session_->PeakRows(position), session_->PeakCaption(position));
}

void DlgMain::ShowCurrentPeaks() {
    const QModelIndex current = assayList_->currentIndex();
    if (!current.isValid()) {
        componentsPage_->Detach();
        return;
    }
    OnListClick(current.row());
}

} // namespace sepmet
