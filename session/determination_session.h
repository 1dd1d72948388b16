#pragma once
// The determination session: the determination of one window, without any window system.
//
// This layer sits above calc/, data/, report/ and audit/ and below every front end (the Qt
// window in ui/, sepmet-batch, a future Win32 window). It owns the chromatogram list, the
// message log and the readiness flags, works on the calculation state it is given, and runs the
// window's commands ("+", "-", "--", "R", the confirmed conditions), each ending in the one
// recalculation. Every command answers with a typed result (what changed, identifiers not found,
// chromatograms dropped, refused fields, the database's error text), and the session produces
// what the front ends show: list rows, page rows, message lines, the report's inputs, and the
// events the audit trail records (through a SessionListener). A front end only turns its input
// into a command and shows the result; it holds no rules of its own.
//
// Plain C++ types only: no Qt, no window handles.

#include "calc/calculation_state.h"
#include "calc/input_check.h"
#include "calc/message_log.h"
#include "calc/result_pages.h"
#include "data/assay_collection.h"
#include "session/condition_text.h"
#include "session/window_memory.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sepmet {

class AssayViewer;
class ProfileAccess;

enum class SessionCommand {
    Open,     // the window opened (or the batch started): the first recalculation
    Add,      // "+"
    Remove,   // "-"
    Clear,    // "--"
    Reload,   // "R"
    Settings, // "S": the conditions confirmed
    View,     // "*": chromatograms opened in the host's viewer; nothing is recalculated
};

// The name the audit trail records a command by: "open", "+", "-", "--", "R", "S" ("*" causes no
// recalculation and so no event).
std::string_view AuditCommandName(SessionCommand command);

// One row of the chromatogram list: "№", file name (after its last backslash), sample, type,
// mixture, and what the row carries.
struct AssayListRow {
    std::u16string number;
    std::u16string fileName;
    std::u16string sample;
    std::u16string type;
    std::u16string mixture;
    std::int32_t id = 0;
    std::int32_t isChecked = 0;
};

// A chromatogram "R" removed from the list because the database no longer holds it.
struct DroppedAssay {
    int number = 0; // its "№" in the list before the reload
    std::int32_t id = 0;
    std::u16string fileName; // as the list shows it
    bool operator==(const DroppedAssay&) const = default;
};

// The warning line that names them: "Хроматограммы удалены из базы и убраны из списка: № 12
// (abs_12.chr)"; several are separated by ", ".
std::u16string DroppedAssaysText(const std::vector<DroppedAssay>& dropped);

struct Recalculation {
    PageUpdate gradPage;                  // "Градуировка"
    PageUpdate calcPage;                  // "Расчет"
    std::vector<std::u16string> messages; // the lines of "Сист. сообщения"
};

struct CommandResult {
    SessionCommand command = SessionCommand::Open;
    // The command ran and was followed by the recalculation. False when the database failed
    // (`databaseError`) or conditions were refused (`refused`): nothing changed. Always false for
    // "*", which recalculates nothing.
    bool ran = false;
    // The list was rewritten: the front end refreshes its rows and notifies the host.
    bool listChanged = false;
    std::vector<std::int32_t> notFound;    // "+": identifiers that name no chromatogram, each once
    std::vector<DroppedAssay> dropped;     // "R": chromatograms the database no longer holds
    std::vector<RefusedCondition> refused; // "S": every refused field
    // SQLite's text when the database failed. For Open the command still ran: the saved list
    // is kept (UnrestoredAssaysText tells the operator).
    std::optional<std::u16string> databaseError;
    Recalculation recalculation; // when `ran`
};

class DeterminationSession;

// Told after every recalculation a command caused (the audit trail listens here).
class SessionListener {
public:
    virtual ~SessionListener() = default;
    virtual void Recalculated(const DeterminationSession& session, const CommandResult& result) = 0;
};

class DeterminationSession {
public:
    // Works on `state` (the plug-in's process-wide state, or a test's). Publishes the session's
    // message log process-wide while it lives.
    explicit DeterminationSession(CalculationState& state);
    ~DeterminationSession();
    DeterminationSession(const DeterminationSession&) = delete;
    DeterminationSession& operator=(const DeterminationSession&) = delete;

    // Not owned; nullptr: nobody listens.
    void SetListener(SessionListener* listener) { listener_ = listener; }

    // --- commands ---
    // The window opens: the list and the conditions of the last session from `profile`.
    CommandResult Open(ProfileAccess& profile, const StoredAssayLoader& load);
    // The batch starts: an empty list and these conditions.
    CommandResult Open(const MeasurementSettings& settings);
    // "+": the identifiers the picker answered, read on one connection. All or nothing: when a
    // read fails the list stays as it was. Identifiers already listed are not added again.
    CommandResult AddAssays(const std::vector<std::int32_t>& ids);
    // "-": the chromatograms at these list positions.
    CommandResult RemovePositions(const std::vector<std::size_t>& positions);
    // "--". The front end asks RemoveAllQuestion() first and runs this only on Yes.
    CommandResult RemoveAll();
    // The confirmation "--" asks before it empties the list ("Удалить все хроматограммы (N)?",
    // Yes/No, No the default); none when the list is empty, as nothing can be lost.
    std::optional<std::u16string> RemoveAllQuestion() const;
    // "R": every chromatogram read afresh; those the database no longer holds leave the list and
    // are named in one warning line. A failed read leaves the list as it was.
    CommandResult Reload();
    // "S" with the dialog's texts: taken over only when all five are numbers.
    CommandResult ApplyConditions(const ConditionTexts& texts);
    // "S" with values already checked (sepmet-batch --apply: the conditions stand as given).
    CommandResult ApplySettings(const MeasurementSettings& settings);

    // "*": the chromatograms at these list positions (in this order) opened in `viewer`, their
    // file names read afresh from the database. Nothing is read when the viewer is unavailable
    // or no position is given. When a read fails, the names read before it are still opened and
    // the result carries the database's error. The list is not changed.
    CommandResult OpenInViewer(const std::vector<std::size_t>& positions,
                               AssayViewer& viewer) const;

    // The check marks of the list rows, in list order (no recalculation).
    void SetMarks(const std::vector<std::int32_t>& marks);

    // The window closes: list, frame, the list's column widths (none: left as stored) and
    // conditions into the profile.
    void SaveState(ProfileAccess& profile, const StoredWindowRect& frame,
                   const std::vector<int>& listColumnWidths = {}) const;

    // --- what the front ends show ---
    std::vector<AssayListRow> ListRows() const;
    // The peaks of the chromatogram at `position`: number, name, area "%.3f", time "%.3f".
    PageRows PeakRows(std::size_t position) const;
    // What the peak page says it shows: "№ 3: grad_03.chr, Раствор град. 5 мг/дм3 №1" (list
    // number, file name, sample); empty for a position beyond the list.
    std::u16string PeakCaption(std::size_t position) const;
    const PageRows& GradRows() const { return gradRows_; }
    const PageRows& CalcRows() const { return calcRows_; }
    const std::vector<std::u16string>& MessageLines() const { return messageLines_; }

    // --- the report's and the audit trail's inputs ---
    const AssayCollection& Assays() const { return assays_; }
    const CalculationState& State() const { return state_; }
    const MessageLog& Log() const { return log_; }
    const ReadinessFlags& Readiness() const { return flags_; }

private:
    CommandResult Failed(SessionCommand command, const DataBase::SqlException& error);
    void RefreshTypeTexts();
    void Recalculate(CommandResult& result);

    CalculationState& state_;
    AssayCollection assays_; // never sorted: list row i shows assays_[i]
    MessageLog log_;
    ReadinessFlags flags_;
    PageRows gradRows_;
    PageRows calcRows_;
    std::vector<std::u16string> messageLines_;
    SessionListener* listener_ = nullptr;
};

} // namespace sepmet
