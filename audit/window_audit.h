#pragma once
// The audit trail of the main window, in the few calls a window makes: the command an operator
// gave, the recalculation it caused, and the report.

#include "audit/audit_events.h"
#include "audit/audit_trail.h"
#include "audit/report_audit.h"

#include <string>
#include <string_view>
#include <vector>

namespace sepmet {
class AssayCollection;
class ReportGenerator;
} // namespace sepmet

namespace sepmet::audit {

// The window's store: the profile value "AuditFile" when it is an absolute path, else the
// default store (DefaultStorePath).
std::string WindowStorePath(std::u16string_view profileAuditFile);

class WindowAuditTrail {
public:
    // Records in `path`, creating missing folders. `notice` shows the session's one notice; it
    // must not block (a non-modal window). `reportRequired`: a report whose event cannot be
    // recorded is not made (the profile value "AuditRequired" = 1).
    WindowAuditTrail(std::string path, AuditTrail::NoticeHook notice, bool reportRequired = false);

    // Every report of `generator` goes on record.
    void AttachTo(ReportGenerator& generator);

    // The command whose recalculation comes next: kCommandAdd, kCommandRemove, kCommandClear,
    // kCommandReload or kCommandSettings. Before any, the window's first recalculation is
    // recorded as kCommandOpen.
    void CommandGiven(std::string_view command) { command_ = command; }

    // After each recalculation: records it under the command given last.
    void Recalculated(const AssayCollection& assays, const CalculationState& state,
                      const ReadinessFlags& flags, const std::vector<std::u16string>& messages);

    const AuditTrail& Trail() const { return trail_; }

private:
    AuditTrail trail_;
    ReportAudit report_;
    std::string command_{kCommandOpen};
};

} // namespace sepmet::audit
