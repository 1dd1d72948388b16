#pragma once
// The audit trail of one session (a main window, a batch run): records the events in its store,
// leaves each recorded event's number and hash in the system's log, and never lets a failure of
// the store stop or change a calculation. The first failure of the session is announced once
// through the notice hook; later events are still tried, and the next event recorded carries the
// number of events lost before it.

#include "audit/audit_store.h"
#include "calc/calculation_state.h"
#include "calc/input_check.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sepmet {
class AssayCollection;
class SystemLog;
} // namespace sepmet

namespace sepmet::audit {

struct AuditFailure {
    std::string path;   // the store's file
    std::string reason; // SQLite's text
};

// The operator's notice of a failure: this event was not recorded (file and SQLite's text), later
// ones are still recorded and the next one counts those lost.
std::u16string NoticeText(const AuditFailure& failure);

// `payload` (a JSON object) with "lostEvents": `lost` as its last member; unchanged for 0.
std::string WithLostEvents(std::string_view payload, std::int64_t lost);

class AuditTrail {
public:
    using NoticeHook = std::function<void(const AuditFailure&)>;

    // Nothing is opened yet: the store is opened at the first event, so that a store that
    // cannot be opened never delays the window's opening. An empty path fails at the first event.
    // `log` (the system's log unless given) receives every recorded event.
    AuditTrail(std::string path, AuditStore::Folders folders, NoticeHook notice,
               SystemLog* log = nullptr);

    const std::string& Path() const { return path_; }

    // Records a recalculation that `command` (kCommandAdd...) caused. Never throws.
    void RecordRecalculation(std::string_view command, const AssayCollection& assays,
                             const CalculationState& state, const ReadinessFlags& flags,
                             const std::vector<std::u16string>& messages);

    enum class OnFailure { Announce, Count };
    // Records one event in one short transaction; nothing after a failure, which is counted as a
    // lost event and, with Announce, announced (once per session). Never throws.
    std::optional<AppendedEvent> Record(std::string_view kind, std::string_view payload,
                                        OnFailure onFailure = OnFailure::Announce);

    // Counts an event that could not be recorded for a reason that is not the store's own, and
    // announces it (once per session).
    void NoteFailure(const std::string& reason);

    // Whether the session's notice was given.
    bool Noticed() const { return noticed_; }
    // The reason of the last failure; empty before any.
    const std::string& LastFailure() const { return lastFailure_; }
    // Events lost since the last one recorded.
    std::int64_t Lost() const { return lost_; }

private:
    AuditStore* Store(OnFailure onFailure);
    void Fail(const std::string& reason, OnFailure onFailure);

    std::string path_;
    AuditStore::Folders folders_;
    NoticeHook notice_;
    SystemLog* log_;
    std::optional<AuditStore> store_;
    bool noticed_ = false;
    std::string lastFailure_;
    std::int64_t lost_ = 0;
};

} // namespace sepmet::audit
