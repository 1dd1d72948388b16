#pragma once
// The audit trail of one session (a main window, a batch run): records the events in its store
// and never lets a failure of the store stop or change a calculation or a report. The first
// failure of the session is announced once through the notice hook; later events are still tried.

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
}

namespace sepmet::audit {

struct AuditFailure {
    std::string path;   // the store's file
    std::string reason; // SQLite's text
};

// The operator's notice of a failure: names the file and SQLite's text, says that work goes on.
std::u16string NoticeText(const AuditFailure& failure);

class AuditTrail {
public:
    using NoticeHook = std::function<void(const AuditFailure&)>;

    // Nothing is opened yet: the store is opened at the first event, so that a store that
    // cannot be opened never delays the window's opening. An empty path fails at the first event.
    AuditTrail(std::string path, AuditStore::Folders folders, NoticeHook notice);

    const std::string& Path() const { return path_; }

    // Records a recalculation that `command` (kCommandAdd...) caused. Never throws.
    void RecordRecalculation(std::string_view command, const AssayCollection& assays,
                             const CalculationState& state, const ReadinessFlags& flags,
                             const std::vector<std::u16string>& messages);

    // Opens the write transaction of the next event, or nothing after a failure (announced).
    // Never throws.
    std::optional<AuditStore::PendingEvent> Begin();
    // Commits `pending`; false after a failure (announced). Never throws.
    bool Commit(AuditStore::PendingEvent& pending, std::string_view kind, std::string_view payload);

    // Announces a failure of the trail that is not the store's own (once per session).
    void NoteFailure(const std::string& reason);

    // Whether the session's notice was given.
    bool Noticed() const { return noticed_; }

private:
    AuditStore* Store();

    std::string path_;
    AuditStore::Folders folders_;
    NoticeHook notice_;
    std::optional<AuditStore> store_;
    bool noticed_ = false;
};

} // namespace sepmet::audit
