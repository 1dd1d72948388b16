#pragma once
// The audit trail of a batch run (--audit) and the verification of a trail (--verify-audit).

#include "audit/audit_trail.h"
#include "audit/report_audit.h"
#include "session/session_audit.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace sepmet {
class SystemLog;
}

namespace sepmet::batch {

class BatchAudit {
public:
    // Records in `path`; a failure is noted once on `notes` and the run goes on.
    // `reportRequired`: the report is not written unless its event is recorded.
    BatchAudit(const std::string& path, std::ostream& notes, bool reportRequired = false);

    // Records every recalculation of the session it listens to, under the window's command name.
    SessionListener& Listener() { return listener_; }
    // The step that transforms the report on record.
    ReportTransformHook& ReportHook() { return report_; }

private:
    audit::AuditTrail trail_;
    audit::ReportAudit report_;
    SessionAudit listener_{trail_};
};

// Verifies the trail at `path`, opened read-only, against the references `expected` ("SEQ:HASH",
// already checked) and the entries `log` holds: the verification's lines on `out`, exit status
// 0 intact, 1 broken; 3 with the reason on `err` when the file cannot be read as a trail.
int VerifyAuditFile(const std::string& path, const std::vector<std::string>& expected,
                    std::ostream& out, std::ostream& err, SystemLog& log);

} // namespace sepmet::batch
