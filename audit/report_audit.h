#pragma once
// The report on record: each report is transformed inside the write transaction of its event,
// so that the page can print the event's number and the document's digest, and the event holds
// the digests of the document, the template and the written file.

#include "audit/audit_trail.h"
#include "report/report_generator.h"

#include <cstdint>

namespace sepmet::audit {

class ReportAudit final : public ReportTransformHook {
public:
    explicit ReportAudit(AuditTrail& trail) : trail_(trail) {}

    // Transforms with the parameters "audit-user" (the login name) and, when the event can be
    // recorded, "audit-seq" (its number) and "audit-digest" (the first 16 hexadecimal digits of
    // the document's SHA-256); then records the event. A failed transformation rolls the event
    // back and its error passes on. An event that cannot be recorded after all gets the file
    // written again without the reference, so that a printed number always names an event.
    void Transform(ReportGenerator& generator) override;

    // The number of the last report's event; 0 when it was not recorded.
    std::int64_t LastSeq() const { return lastSeq_; }

private:
    AuditTrail& trail_;
    std::int64_t lastSeq_ = 0;
};

} // namespace sepmet::audit
