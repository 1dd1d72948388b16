#include "session/determination_session.h"

#include "audit/audit_events.h"
#include "calc/recalculation.h"
#include "data/assay_queries.h"
#include "data/connection.h"
#include "platform/number_text.h"
#include "platform/utf.h"

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

std::u16string ErrorText(const char* what) {
    return what && what[0] != '\0' ? FromUtf8(what) : u"unknown database error";
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
        ListChanged();
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

CommandResult DeterminationSession::Failed(SessionCommand command, const char* error) {
    CommandResult result = Begin(command);
    result.databaseError = ErrorText(error);
    return result;
}

CommandResult DeterminationSession::AddAssays(const std::vector<std::int32_t>& ids) {
    CommandResult result = Begin(SessionCommand::Add);
    const std::size_t countBefore = assays_.Count();
    try {
        DataBase::DataBaseHandle handle;
        handle.Open();
        for (std::int32_t id : ids) {
            const AssayLoad load = LoadAssay(assays_, handle, id);
            if (load.Failed()) {
                // All or nothing: the chromatograms this command read before go again.
                assays_.Truncate(countBefore);
                return Failed(SessionCommand::Add, load.failure->what());
            }
            result.listChanged = result.listChanged || load.Loaded();
            if (!load.Loaded() && std::find(result.notFound.begin(), result.notFound.end(), id) ==
                                      result.notFound.end())
                result.notFound.push_back(id);
        }
    } catch (const DataBase::SqlException& error) {
        return Failed(SessionCommand::Add, error.what());
    }
    if (result.listChanged)
        ListChanged();
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
    ListChanged();
    Recalculate(result);
    return result;
}

CommandResult DeterminationSession::RemoveAll() {
    CommandResult result = Begin(SessionCommand::Clear, true);
    assays_.Clear();
    Recalculate(result);
    return result;
}

CommandResult DeterminationSession::Reload() {
    CommandResult result = Begin(SessionCommand::Reload, true);
    const AssayCollection before = assays_;
    try {
        DataBase::DataBaseHandle handle;
        handle.Open();
        // Replaces the collection only when every chromatogram could be read.
        ReloadAssays(assays_, handle);
    } catch (const DataBase::SqlException& error) {
        return Failed(SessionCommand::Reload, error.what());
    }
    const std::vector<std::int32_t> kept = assays_.Ids();
    for (std::size_t i = 0; i < before.Count(); ++i)
        if (std::find(kept.begin(), kept.end(), before[i].id) == kept.end())
            result.dropped.push_back(
                {static_cast<int>(i) + 1, before[i].id, ShortFileName(before[i].filename)});
    ListChanged();
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
    // Confirmed conditions drop a demanded third measurement.
    state_.threeMeasurementsRequired = false;
    Recalculate(result);
    return result;
}

FileNameQuery
DeterminationSession::QueryFileNames(const std::vector<std::size_t>& positions) const {
    FileNameQuery query;
    try {
        DataBase::DataBaseHandle handle;
        handle.Open();
        for (std::size_t position : positions)
            if (position < assays_.Count())
                QueryAssayFileName(handle, assays_[position].id, [&](const std::u16string& name) {
                    query.fileNames.push_back(name);
                });
    } catch (const DataBase::SqlException& error) {
        query.databaseError = ErrorText(error.what());
    }
    return query;
}

void DeterminationSession::SetMarks(const std::vector<std::int32_t>& marks) {
    const std::size_t count = std::min(marks.size(), assays_.Count());
    for (std::size_t i = 0; i < count; ++i)
        assays_[i].isChecked = marks[i];
}

void DeterminationSession::SaveState(ProfileAccess& profile, const StoredWindowRect& frame) const {
    SaveAssayList(profile, assays_);
    SaveWindowRect(profile, frame);
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

void DeterminationSession::ListChanged() {
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
