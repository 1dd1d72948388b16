#pragma once
// The window's chromatogram list, commands and result pages without a window: what sepmet-batch
// runs its commands on, and what its outputs read afterwards.

#include "batch/batch_options.h"
#include "calc/calculation_state.h"
#include "calc/input_check.h"
#include "calc/message_log.h"
#include "calc/result_pages.h"
#include "data/assay_collection.h"

#include <string>
#include <vector>

namespace sepmet::batch {

// An identifier of "+" that names no chromatogram in the database. (A read that fails ends the
// command with the database error instead.)
struct UnloadedAssay {
    std::int32_t id;
};

class BatchSession {
public:
    // Takes the conditions into `state`, publishes the session's message log process-wide and
    // runs the recalculation the window runs when it opens. The host's database location must be
    // set before a command reads it.
    BatchSession(CalculationState& state, const MeasurementSettings& settings);
    ~BatchSession();
    BatchSession(const BatchSession&) = delete;
    BatchSession& operator=(const BatchSession&) = delete;

    // Runs one command and the recalculation after it. DataBase::SqlException when the database
    // cannot be opened; the collection is then as the command found it.
    void Run(const Command& command);

    const AssayCollection& Assays() const { return assays_; }
    const CalculationState& State() const { return state_; }
    const MessageLog& Log() const { return log_; }
    const ReadinessFlags& Readiness() const { return flags_; }
    // What the "Градуировка", "Расчет" and "Сист. сообщения" pages show.
    const PageRows& GradRows() const { return gradRows_; }
    const PageRows& CalcRows() const { return calcRows_; }
    const std::vector<std::u16string>& MessageLines() const { return messageLines_; }
    // The identifiers of the last command that gave no chromatogram, each once, in the order
    // typed; the window's command passes over them in silence.
    const std::vector<UnloadedAssay>& Unloaded() const { return unloaded_; }

private:
    void Add(const IdList& ids);
    void Remove(const IdList& ids);
    void Reload();
    void RefreshTypeTexts();
    void Recalculate();

    CalculationState& state_;
    AssayCollection assays_;
    MessageLog log_;
    ReadinessFlags flags_;
    PageRows gradRows_;
    PageRows calcRows_;
    std::vector<std::u16string> messageLines_;
    std::vector<UnloadedAssay> unloaded_;
};

} // namespace sepmet::batch
