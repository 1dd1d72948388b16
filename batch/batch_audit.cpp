#include "batch/batch_audit.h"

#include "audit/chain_verification.h"

#include <ostream>

namespace sepmet::batch {

BatchAudit::BatchAudit(const std::string& path, std::ostream& notes)
    : trail_(path, audit::AuditStore::Folders::Existing,
             [&notes](const audit::AuditFailure& failure) {
                 notes << "sepmet-batch: audit: cannot record in " << failure.path << ": "
                       << failure.reason << "; the run goes on without the audit trail\n";
             }),
      report_(trail_) {}

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
