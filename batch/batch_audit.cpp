#include "batch/batch_audit.h"

#include "audit/audit_events.h"
#include "audit/chain_verification.h"
#include "batch/batch_session.h"

#include <ostream>

namespace sepmet::batch {

std::string_view WindowCommand(Command::Kind kind) {
    switch (kind) {
    case Command::Kind::Add:
        return audit::kCommandAdd;
    case Command::Kind::Remove:
        return audit::kCommandRemove;
    case Command::Kind::Clear:
        return audit::kCommandClear;
    case Command::Kind::Reload:
        return audit::kCommandReload;
    case Command::Kind::Apply:
        return audit::kCommandSettings;
    }
    return {};
}

BatchAudit::BatchAudit(const std::string& path, std::ostream& notes)
    : trail_(path, audit::AuditStore::Folders::Existing,
             [&notes](const audit::AuditFailure& failure) {
                 notes << "sepmet-batch: audit: cannot record in " << failure.path << ": "
                       << failure.reason << "; the run goes on without the audit trail\n";
             }),
      report_(trail_) {}

void BatchAudit::RecordRecalculation(const Command* command, const BatchSession& session) {
    trail_.RecordRecalculation(command ? WindowCommand(command->kind) : audit::kCommandOpen,
                               session.Assays(), session.State(), session.Readiness(),
                               session.MessageLines());
}

int VerifyAuditFile(const std::string& path, std::ostream& out, std::ostream& err) {
    try {
        const audit::AuditStore store = audit::AuditStore::OpenReadOnly(path);
        const audit::ChainVerification verification =
            audit::VerifyChain(store.ReadAll(), store.HighestNumberGiven());
        out << audit::VerificationText(verification);
        return verification.Intact() ? 0 : 1;
    } catch (const audit::AuditError& e) {
        err << "sepmet-batch: cannot read the audit trail " << path << ": " << e.what() << "\n";
        return 3;
    }
}

} // namespace sepmet::batch
