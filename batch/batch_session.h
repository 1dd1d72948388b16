#pragma once
// The determination session as sepmet-batch runs it: each command of the command line turned
// into the session's command, and what the outputs read afterwards.

#include "batch/batch_options.h"
#include "session/determination_session.h"

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
    // runs the recalculation the window runs when it opens (told to `listener`, when given). The
    // host's database location must be set before a command reads it.
    BatchSession(CalculationState& state, const MeasurementSettings& settings,
                 SessionListener* listener = nullptr);

    // Runs one command and the recalculation after it. When the database cannot be read the
    // result carries SQLite's text and the collection is as the command found it.
    CommandResult Run(const Command& command);

    const AssayCollection& Assays() const { return session_.Assays(); }
    const CalculationState& State() const { return session_.State(); }
    const MessageLog& Log() const { return session_.Log(); }
    const ReadinessFlags& Readiness() const { return session_.Readiness(); }
    // What the "Градуировка", "Расчет" and "Сист. сообщения" pages show.
    const PageRows& GradRows() const { return session_.GradRows(); }
    const PageRows& CalcRows() const { return session_.CalcRows(); }
    const std::vector<std::u16string>& MessageLines() const { return session_.MessageLines(); }
    // The identifiers of the last command that gave no chromatogram, each once, in the order
    // typed; the window's command passes over them in silence.
    const std::vector<UnloadedAssay>& Unloaded() const { return unloaded_; }

private:
    DeterminationSession session_;
    std::vector<UnloadedAssay> unloaded_;
};

} // namespace sepmet::batch
