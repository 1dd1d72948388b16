#include "batch/batch_session.h"

#include "calc/recalculation.h"
#include "data/assay_queries.h"
#include "data/connection.h"

#include <algorithm>

namespace sepmet::batch {

BatchSession::BatchSession(CalculationState& state, const MeasurementSettings& settings)
    : state_(state) {
    state_.settings = settings;
    SetProcessMessageLog(&log_);
    Recalculate();
}

BatchSession::~BatchSession() {
    SetProcessMessageLog(nullptr);
}

void BatchSession::Run(const Command& command) {
    unloaded_.clear();
    switch (command.kind) {
    case Command::Kind::Add:
        Add(command.ids);
        break;
    case Command::Kind::Remove:
        Remove(command.ids);
        break;
    case Command::Kind::Clear:
        assays_.Clear();
        RefreshTypeTexts();
        break;
    case Command::Kind::Reload:
        Reload();
        break;
    case Command::Kind::Apply:
        // The settings dialog ended with OK: the conditions stand as given, a demanded third
        // measurement is dropped.
        state_.threeMeasurementsRequired = false;
        break;
    }
    Recalculate();
}

void BatchSession::Add(const IdList& ids) {
    DataBase::DataBaseHandle handle;
    handle.Open();
    bool found = false;
    for (std::int32_t id : ids.Expand()) {
        const AssayLoad load = LoadAssay(assays_, handle, id);
        if (load.Failed())
            throw *load.failure; // the database could not be read, as for Open
        found = load.Loaded() || found;
        const bool known = std::any_of(unloaded_.begin(), unloaded_.end(),
                                       [id](const UnloadedAssay& u) { return u.id == id; });
        if (!load.Loaded() && !known)
            unloaded_.push_back({id});
    }
    if (found)
        RefreshTypeTexts();
}

void BatchSession::Remove(const IdList& ids) {
    // The rows of those identifiers selected, in list order.
    for (std::int32_t id : assays_.Ids())
        if (ids.Contains(id))
            assays_.RemoveAssay(id);
    RefreshTypeTexts();
}

void BatchSession::Reload() {
    DataBase::DataBaseHandle handle;
    handle.Open();
    ReloadAssays(assays_, handle);
    RefreshTypeTexts();
}

void BatchSession::RefreshTypeTexts() {
    for (std::size_t i = 0; i < assays_.Count(); ++i)
        UpdateTypeText(assays_[i]);
}

void BatchSession::Recalculate() {
    RecalculationOutcome outcome = sepmet::Recalculate(assays_, state_, log_, flags_);
    outcome.gradPage.ApplyTo(gradRows_);
    outcome.calcPage.ApplyTo(calcRows_);
    messageLines_ = std::move(outcome.messages);
}

} // namespace sepmet::batch
