#include "audit/window_audit.h"

#include "platform/utf.h"
#include "report/report_generator.h"

namespace sepmet::audit {

std::string WindowStorePath(std::u16string_view profileAuditFile) {
    // A relative name would depend on the host's working folder: the default store instead.
    if (!profileAuditFile.empty() && profileAuditFile.front() == u'/')
        return ToUtf8(profileAuditFile);
    return DefaultStorePath();
}

WindowAuditTrail::WindowAuditTrail(std::string path, AuditTrail::NoticeHook notice,
                                   bool reportRequired)
    : trail_(std::move(path), AuditStore::Folders::Create, std::move(notice)),
      report_(trail_, reportRequired) {}

void WindowAuditTrail::AttachTo(ReportGenerator& generator) {
    generator.SetTransformHook(&report_);
}

void WindowAuditTrail::Recalculated(const AssayCollection& assays, const CalculationState& state,
                                    const ReadinessFlags& flags,
                                    const std::vector<std::u16string>& messages) {
    trail_.RecordRecalculation(command_, assays, state, flags, messages);
}

} // namespace sepmet::audit
