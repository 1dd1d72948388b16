// The main window's commands and the recalculation that ends every change of the list.

#include "calc/calculation_state.h"
#include "calc/recalculation.h"
#include "data/assay_queries.h"
#include "data/connection.h"
#include "platform/message_box.h"
#include "platform/utf.h"
#include "plugin/host_services.h"
#include "plugin/startup_messages.h"
#include "report/report_generator.h"
#include "ui/dlg_main.h"
#include "ui/grid_ctrl.h"
#include "ui/result_tabs.h"
#include "ui/window_audit.h"

#include <QCoreApplication>
#include <QEvent>
#include <array>

namespace sepmet {
namespace {

// The window message the host expects after the chromatogram list changed (WM_USER + 11).
constexpr QEvent::Type kAssayListChangedEvent = static_cast<QEvent::Type>(1035);

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The file name after its last backslash; the whole text when it has none.
std::u16string_view ShortFileName(const std::u16string& filename) {
    const std::size_t slash = filename.rfind(u'\\');
    return slash == std::u16string::npos ? std::u16string_view(filename)
                                         : std::u16string_view(filename).substr(slash + 1);
}

} // namespace

void DlgMain::ShowDatabaseError(const DataBase::SqlException& error) {
    ShowMessageBox(WindowHandle(), kPluginMessageCaption, FromUtf8(error.what()),
                   MessageIcon::Error);
}

void DlgMain::RefreshAssayList() {
    std::vector<GridModel::Row> rows;
    rows.reserve(assays_.Count());
    for (std::size_t i = 0; i < assays_.Count(); ++i) {
        Assay& assay = assays_[i];
        UpdateTypeText(assay);
        GridModel::Row row;
        row.cells = {QString::number(static_cast<int>(i) + 1),
                     ToQString(ShortFileName(assay.filename)), ToQString(assay.sample),
                     ToQString(assay.type), ToQString(assay.mixture)};
        row.data.userData = assay.id;
        row.checkState = assay.isChecked;
        rows.push_back(std::move(row));
    }
    assayList_->Model().SetRows(std::move(rows));
}

void DlgMain::NotifyHost() {
    QWidget* parent = parentWidget();
    QWidget* target = parent ? parent->parentWidget() : nullptr;
    if (target)
        QCoreApplication::postEvent(target, new QEvent(kAssayListChangedEvent));
}

void DlgMain::SaveRowMarks() {
    const GridModel& model = assayList_->Model();
    const int rows = std::min(model.rowCount(), static_cast<int>(assays_.Count()));
    for (int row = 0; row < rows; ++row)
        assays_[static_cast<std::size_t>(row)].isChecked = model.CheckState(row);
}

void DlgMain::Recalculate() {
    const RecalculationOutcome outcome =
        sepmet::Recalculate(assays_, ProcessCalculationState(), messageTab_->Log(), flags_);
    gradPage_->Apply(outcome.gradPage);
    calcPage_->Apply(outcome.calcPage);
    messageTab_->ShowLines(outcome.messages);
    WindowAudit::Recalculated(*this, outcome.messages);
}

void DlgMain::OnAddCommand() {
    if (!HostHasService(HostService::OpenAssayIdDlg))
        return;
    SaveRowMarks();
    std::array<std::int32_t, kAssayIdCapacity> ids{};
    AssayIdRequest request{ids.data(), kAssayIdCapacity};
    const HostWord answer = CallHostService(HostService::OpenAssayIdDlg,
                                            reinterpret_cast<HostWord>(&request), WindowHandle());
    if (answer == 0 || answer > kAssayIdCapacity)
        return;
    const int count = static_cast<int>(answer); // negative: nothing to load, the rest still runs
    const std::size_t countBefore = assays_.Count();
    try {
        DataBase::DataBaseHandle handle;
        handle.Open();
        bool found = false;
        for (int i = 0; i < count; ++i) {
            const AssayLoad load = LoadAssay(assays_, handle, ids[static_cast<std::size_t>(i)]);
            if (load.Failed()) {
                // All or nothing: the chromatograms this command read before go again.
                assays_.Truncate(countBefore);
                throw *load.failure;
            }
            found = found || load.Loaded();
        }
        if (found) {
            RefreshAssayList();
            NotifyHost();
        }
        Recalculate();
    } catch (const DataBase::SqlException& error) {
        ShowDatabaseError(error);
    }
}

void DlgMain::RemoveAssays(bool all) {
    const std::vector<int> selected = assayList_->SelectedRows();
    if (all)
        assays_.Clear();
    for (int row : selected)
        assays_.RemoveAssay(assayList_->Model().Data(row).userData);
}

void DlgMain::AfterRemove() {
    RefreshAssayList();
    NotifyHost();
    componentsPage_->Detach();
    Recalculate();
}

void DlgMain::OnRemoveSelectedCommand() {
    RemoveAssays(false);
    AfterRemove();
}

void DlgMain::OnRemoveAllCommand() {
    RemoveAssays(true);
    AfterRemove();
}

void DlgMain::OnOpenCommand() {
    const std::vector<int> selected = assayList_->SelectedRows();
    if (!HostHasService(HostService::OpenAssayFile) || selected.empty())
        return;
    try {
        DataBase::DataBaseHandle handle;
        handle.Open();
        for (int row : selected)
            QueryAssayFileName(handle, assayList_->Model().Data(row).userData,
                               [](const std::u16string& filename) {
                                   CallHostService(HostService::OpenAssayFile, 0,
                                                   reinterpret_cast<HostWord>(filename.c_str()));
                               });
    } catch (const DataBase::SqlException& error) {
        ShowDatabaseError(error);
    }
}

void DlgMain::OnReloadCommand() {
    try {
        DataBase::DataBaseHandle handle;
        handle.Open();
        // Replaces the collection only when every chromatogram could be read.
        ReloadAssays(assays_, handle);
    } catch (const DataBase::SqlException& error) {
        ShowDatabaseError(error);
        return;
    }
    RefreshAssayList();
    NotifyHost();
    Recalculate();
}

void DlgMain::OnReportCommand() {
    reportGenerator_->assays = &assays_;
    reportGenerator_->SetOwnerWindow(WindowHandle());
    if (reportGenerator_->Generate())
        reportGenerator_->OpenOutput();
}

void DlgMain::OnListClick(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= assays_.Count())
        return;
    componentsPage_->Show(&assays_, row);
}

} // namespace sepmet
