#pragma once
// The audit trail listening to a session: every recalculation a command caused is recorded under
// that command's name, whichever front end gave it.

#include "audit/audit_trail.h"
#include "session/determination_session.h"

namespace sepmet {

class SessionAudit final : public SessionListener {
public:
    explicit SessionAudit(audit::AuditTrail& trail) : trail_(trail) {}
    void Recalculated(const DeterminationSession& session, const CommandResult& result) override {
        trail_.RecordRecalculation(AuditCommandName(result.command), session.Assays(),
                                   session.State(), session.Readiness(), session.MessageLines());
    }

private:
    audit::AuditTrail& trail_;
};

} // namespace sepmet
