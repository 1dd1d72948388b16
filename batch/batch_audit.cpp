#include "batch/batch_audit.h"

#include "audit/chain_verification.h"

#include <ostream>

namespace sepmet::batch {

BatchAudit::BatchAudit(const std::string& path, std::ostream& notes, bool reportRequired)
    : trail_(path, audit::AuditStore::Folders::Existing,
             [&notes](const audit::AuditFailure& failure) {
                 notes << "sepmet-batch: audit: an event was not recorded in " << failure.path
                       << ": " << failure.reason
                       << " (later events are still recorded; the next one counts those lost)\n";
             }),
      report_(trail_, reportRequired) {}

int VerifyAuditFile(const std::string& path, const std::vector<std::string>& expected,
                    std::ostream& out, std::ostream& err, SystemLog& log) {
    std::vector<audit::ChainAnchor> anchors;
    for (const std::string& text : expected)
        if (std::optional<audit::ChainAnchor> anchor = audit::ParseChainAnchor(text))
            anchors.push_back(*anchor);
    try {
        const audit::AuditStore store = audit::AuditStore::OpenReadOnly(path);
        const audit::ChainVerification verification =
            audit::VerifyTrail(store, std::move(anchors), log);
        out << audit::VerificationText(verification);
        return verification.Intact() ? 0 : 1;
    } catch (const audit::AuditError& e) {
        err << "sepmet-batch: cannot read the audit trail " << path << ": " << e.what() << "\n";
        return 3;
    }
}

} // namespace sepmet::batch
