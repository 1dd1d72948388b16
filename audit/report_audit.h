#pragma once
// The report on record. Its event is recorded in one short transaction before the
// transformation, so that the page can print the event's number, the document's digest and the
// number and hash of the event before it (the chain's head when the report was made); a second
// short one records the digest of the written file, or why no file was written. No lock of the
// trail is held while a template runs.

#include "audit/audit_trail.h"
#include "report/report_generator.h"

#include <cstdint>

namespace sepmet::audit {

class ReportAudit final : public ReportTransformHook {
public:
    // `required`: a report whose event cannot be recorded is not made (the profile value
    // "AuditRequired", sepmet-batch --audit-required).
    explicit ReportAudit(AuditTrail& trail, bool required = false)
        : trail_(trail), required_(required) {}

    // Transforms with the parameters "audit-user" (the login name) and, when the event is
    // recorded, "audit-seq" (its number), "audit-digest" (the first 16 hexadecimal digits of the
    // document's SHA-256), "audit-prev-seq" and "audit-prev-hash" (the event before it and the
    // first 16 digits of its hash; absent for a trail's first event). A failed transformation's
    // error passes on. When the event cannot be recorded the report is made without the
    // reference, or, when required, not at all (an error naming the trail).
    void Transform(ReportGenerator& generator) override;

    // The number of the last report's event; 0 when it was not recorded.
    std::int64_t LastSeq() const { return lastSeq_; }

private:
    [[noreturn]] void RefuseReport() const;

    AuditTrail& trail_;
    bool required_;
    std::int64_t lastSeq_ = 0;
};

} // namespace sepmet::audit
