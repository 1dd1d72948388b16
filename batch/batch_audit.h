#pragma once
// The audit trail of a batch run (--audit) and the verification of a trail (--verify-audit).

#include "audit/audit_trail.h"
#include "audit/report_audit.h"
#include "session/session_audit.h"

#include <iosfwd>
#include <string>
#include <string_view>

namespace sepmet::batch {

class BatchAudit {
public:
    // Records in `path`; a failure is noted once on `notes` and the run goes on.
    BatchAudit(const std::string& path, std::ostream& notes);

    // Records every recalculation of the session it listens to, under the window's command name.
    SessionListener& Listener() { return listener_; }
    // The step that transforms the report on record.
    ReportTransformHook& ReportHook() { return report_; }

private:
    audit::AuditTrail trail_;
    audit::ReportAudit report_;
    SessionAudit listener_{trail_};
};

// Verifies the chain of the store at `path`, opened read-only: the verification's lines on
// `out`, exit status 0 intact, 1 broken; 3 with the reason on `err` when the file cannot be read
// as a store.
int VerifyAuditFile(const std::string& path, std::ostream& out, std::ostream& err);

} // namespace sepmet::batch
