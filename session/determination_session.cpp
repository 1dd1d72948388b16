#include "session/determination_session.h"

#include "audit/audit_events.h"
#include "calc/recalculation.h"
#include "data/assay_queries.h"
#include "data/connection.h"
#include "platform/number_text.h"
#include "platform/utf.h"
#include "session/assay_viewer.h"
#include "session/database_error_text.h"

#include <algorithm>

namespace sepmet {
namespace {

// The file name after its last backslash; the whole text when it has none.
std::u16string ShortFileName(const std::u16string& filename) {
    const std::size_t slash = filename.rfind(u'\\');
    return slash == std::u16string::npos ? filename : filename.substr(slash + 1);
}

CommandResult Begin(SessionCommand command, bool listChanged = false) {
    CommandResult result;
    result.command = command;
    result.listChanged = listChanged;
    return result;
}

} // namespace

std::string_view AuditCommandName(SessionCommand command) {
    switch (command) {
    case SessionCommand::Open:
        return audit::kCommandOpen;
    case SessionCommand::Add:
        return audit::kCommandAdd;
    case SessionCommand::Remove:
        return audit::kCommandRemove;
    case SessionCommand::Clear:
        return audit::kCommandClear;
    case SessionCommand::Reload:
        return audit::kCommandReload;
    case SessionCommand::Settings:
        return audit::kCommandSettings;
    case SessionCommand::View:
        return audit::kCommandView;
    }
    return {};
}

std::u16string DroppedAssaysText(const std::vector<DroppedAssay>& dropped) {
    std::u16string text = u"Хроматограммы удалены из базы и убраны из списка: ";
    for (std::size_t i = 0; i < dropped.size(); ++i) {
        if (i > 0)
            text += u", ";
        text += u"№ " + FormatInteger(dropped[i].number) + u" (" + dropped[i].fileName + u")";
    }
    return text;
}

DeterminationSession::DeterminationSession(CalculationState& state) : state_(state) {
    SetProcessMessageLog(&log_);
}

DeterminationSession::~DeterminationSession() {
    try {
        if (&ProcessMessageLog() == &log_)
            SetProcessMessageLog(nullptr);
    } catch (const std::logic_error&) {
        // No log is published: nothing to withdraw.
    }
}

CommandResult DeterminationSession::Open(ProfileAccess& profile, const StoredAssayLoader& load) {
    CommandResult result = Begin(SessionCommand::Open);
    const AssayListRestore restore = RestoreAssayList(profile, assays_, load);
    if (restore.restored > 0) {
        RefreshTypeTexts();
        result.listChanged = true;
    }
    if (restore.databaseFailed)
        result.databaseError = restore.databaseError;
    state_.settings = ReadMeasurementSettings(profile);
    Recalculate(result);
    return result;
}

CommandResult DeterminationSession::Open(const MeasurementSettings& settings) {
    CommandResult result = Begin(SessionCommand::Open);
    state_.settings = settings;
    Recalculate(result);
    return result;
}

CommandResult DeterminationSession::Failed(SessionCommand command,
                                           const DataBase::SqlException& error) {
    CommandResult result = Begin(command);
    result.databaseError = DatabaseErrorText(error);
    return result;
}

CommandResult DeterminationSession::AddAssays(const std::vector<std::int32_t>& ids) {
    CommandResult result = Begin(SessionCommand::Add);
    const std::size_t countBefore = assays_.Count();
    try {
        DataBase::DataBaseHandle handle;
        handle.Open();
        const DataBase::ReadSnapshot snapshot(handle);
        for (std::int32_t id : ids) {
            const AssayLoad load = LoadAssay(assays_, handle, id);
            if (load.Failed()) {
                // All or nothing: the chromatograms this command read before go again.
                assays_.Truncate(countBefore);
                return Failed(SessionCommand::Add, *load.failure);
            }
            result.listChanged = result.listChanged || load.Loaded();
            if (!load.Loaded() && std::find(result.notFound.begin(), result.notFound.end(), id) ==
                                      result.notFound.end())
                result.notFound.push_back(id);
        }
    } catch (const DataBase::SqlException& error) {
        return Failed(SessionCommand::Add, error);
    }
    if (result.listChanged)
        RefreshTypeTexts();
    Recalculate(result);
    return result;
}

CommandResult DeterminationSession::RemovePositions(const std::vector<std::size_t>& positions) {
    CommandResult result = Begin(SessionCommand::Remove, true);
    std::vector<std::int32_t> ids;
    for (std::size_t position : positions)
        if (position < assays_.Count())
            ids.push_back(assays_[position].id);
    for (std::int32_t id : ids)
        assays_.RemoveAssay(id);
    RefreshTypeTexts();
    Recalculate(result);
    return result;
}

CommandResult DeterminationSession::RemoveAll() {
    CommandResult result = Begin(SessionCommand::Clear, true);
    assays_.Clear();
    Recalculate(result);
    return result;
}

std::optional<std::u16string> DeterminationSession::RemoveAllQuestion() const {
    if (assays_.Empty())
        return std::nullopt;
    return u"Удалить все хроматограммы (" + FromUtf8(std::to_string(assays_.Count())) + u")?";
}

CommandResult DeterminationSession::Reload() {
    CommandResult result = Begin(SessionCommand::Reload, true);
    std::vector<DroppedAssay> listed; // the list before, as the operator saw it
    for (std::size_t i = 0; i < assays_.Count(); ++i)
        listed.push_back(
            {static_cast<int>(i) + 1, assays_[i].id, ShortFileName(assays_[i].filename)});
    try {
        DataBase::DataBaseHandle handle;
        handle.Open();
        // Replaces the collection only when every chromatogram could be read.
        ReloadAssays(assays_, handle);
    } catch (const DataBase::SqlException& error) {
        return Failed(SessionCommand::Reload, error);
    }
    const std::vector<std::int32_t> kept = assays_.Ids();
    for (DroppedAssay& assay : listed)
        if (std::find(kept.begin(), kept.end(), assay.id) == kept.end())
            result.dropped.push_back(std::move(assay));
    RefreshTypeTexts();
    Recalculate(result);
    return result;
}

CommandResult DeterminationSession::ApplyConditions(const ConditionTexts& texts) {
    const ConditionCheck check = CheckConditionTexts(texts);
    if (!check.Accepted()) {
        CommandResult result = Begin(SessionCommand::Settings);
        result.refused = check.refused;
        return result;
    }
    return ApplySettings(check.values);
}

CommandResult DeterminationSession::ApplySettings(const MeasurementSettings& settings) {
    CommandResult result = Begin(SessionCommand::Settings);
    state_.settings = settings;
    Recalculate(result);
    return result;
}

CommandResult DeterminationSession::OpenInViewer(const std::vector<std::size_t>& positions,
                                                 AssayViewer& viewer) const {
    CommandResult result = Begin(SessionCommand::View);
    if (positions.empty() || !viewer.Available())
        return result;
    std::vector<std::u16string> fileNames;
    try {
        DataBase::DataBaseHandle handle;
        handle.Open();
        for (std::size_t position : positions)
            if (position < assays_.Count())
                QueryAssayFileName(handle, assays_[position].id,
                                   [&](const std::u16string& name) { fileNames.push_back(name); });
    } catch (const DataBase::SqlException& error) {
        result.databaseError = DatabaseErrorText(error);
    }
    for (const std::u16string& fileName : fileNames)
        viewer.Open(fileName);
    return result;
}

void DeterminationSession::SetMarks(const std::vector<std::int32_t>& marks) {
    const std::size_t count = std::min(marks.size(), assays_.Count());
    for (std::size_t i = 0; i < count; ++i)
        assays_[i].isChecked = marks[i];
}

void DeterminationSession::SaveState(ProfileAccess& profile, const StoredWindowRect& frame,
                                     const std::vector<int>& listColumnWidths) const {
    SaveAssayList(profile, assays_);
    SaveWindowRect(profile, frame);
    SaveListColumnWidths(profile, listColumnWidths);
    SaveMeasurementSettings(profile, state_.settings);
}

std::vector<AssayListRow> DeterminationSession::ListRows() const {
    std::vector<AssayListRow> rows;
    rows.reserve(assays_.Count());
    for (std::size_t i = 0; i < assays_.Count(); ++i) {
        const Assay& assay = assays_[i];
        rows.push_back({FormatInteger(static_cast<long long>(i) + 1), ShortFileName(assay.filename),
                        assay.sample, assay.type, assay.mixture, assay.id, assay.isChecked});
    }
    return rows;
}

PageRows DeterminationSession::PeakRows(std::size_t position) const {
    PageRows rows;
    if (position >= assays_.Count())
        return rows;
    const Assay& assay = assays_[position];
    rows.reserve(assay.peaks.size());
    int number = 0;
    for (const Peak& peak : assay.peaks)
        rows.push_back({FormatInteger(++number), peak.name, FormatFixed(peak.area, 3),
                        FormatFixed(peak.time, 3)});
    return rows;
}

std::u16string DeterminationSession::PeakCaption(std::size_t position) const {
    if (position >= assays_.Count())
        return {};
    const Assay& assay = assays_[position];
    std::u16string caption = u"№ " + FormatInteger(static_cast<long long>(position) + 1) + u": " +
                             ShortFileName(assay.filename);
    if (!assay.sample.empty())
        caption += u", " + assay.sample;
    return caption;
}

void DeterminationSession::RefreshTypeTexts() {
    // The type texts follow the list; the report reads them too.
    for (std::size_t i = 0; i < assays_.Count(); ++i)
        UpdateTypeText(assays_[i]);
}

void DeterminationSession::Recalculate(CommandResult& result) {
    RecalculationOutcome outcome = sepmet::Recalculate(assays_, state_, log_, flags_);
    if (!result.dropped.empty()) {
        // Said once, in the recalculation that follows "R"; the next one clears the log.
        log_.AddWarning(DroppedAssaysText(result.dropped));
        outcome.messages = log_.Layout();
    }
    outcome.gradPage.ApplyTo(gradRows_);
    outcome.calcPage.ApplyTo(calcRows_);
    messageLines_ = outcome.messages;
    result.ran = true;
    result.recalculation = {std::move(outcome.gradPage), std::move(outcome.calcPage),
                            std::move(outcome.messages)};
    if (listener_)
        listener_->Recalculated(*this, result);
}

} // namespace sepmet
