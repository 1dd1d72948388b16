#include "audit/audit_trail.h"

#include "audit/audit_events.h"
#include "platform/utf.h"

namespace sepmet::audit {

std::u16string NoticeText(const AuditFailure& failure) {
    return u"Журнал аудита не записывается:\n" + FromUtf8(failure.path) + u"\n" +
           FromUtf8(failure.reason) + u"\nРасчёты и отчёты выполняются без записи в журнал.";
}

AuditTrail::AuditTrail(std::string path, AuditStore::Folders folders, NoticeHook notice)
    : path_(std::move(path)), folders_(folders), notice_(std::move(notice)) {}

void AuditTrail::NoteFailure(const std::string& reason) {
    if (noticed_)
        return;
    noticed_ = true;
    if (notice_)
        notice_({path_, reason});
}

AuditStore* AuditTrail::Store() {
    if (store_)
        return &*store_;
    if (path_.empty()) {
        NoteFailure("no folder for the audit trail: neither XDG_DATA_HOME nor HOME is set");
        return nullptr;
    }
    try {
        store_ = AuditStore::OpenForAppend(path_, folders_);
        return &*store_;
    } catch (const std::exception& e) {
        NoteFailure(e.what());
    }
    return nullptr;
}

std::optional<AuditStore::PendingEvent> AuditTrail::Begin() {
    AuditStore* store = Store();
    if (!store)
        return std::nullopt;
    try {
        return store->Begin();
    } catch (const std::exception& e) {
        NoteFailure(e.what());
    }
    return std::nullopt;
}

bool AuditTrail::Commit(AuditStore::PendingEvent& pending, std::string_view kind,
                        std::string_view payload) {
    try {
        pending.Commit(kind, payload);
        return true;
    } catch (const std::exception& e) {
        NoteFailure(e.what());
    }
    return false;
}

void AuditTrail::RecordRecalculation(std::string_view command, const AssayCollection& assays,
                                     const CalculationState& state, const ReadinessFlags& flags,
                                     const std::vector<std::u16string>& messages) {
    // Without a usable store the payload (with a digest of every chromatogram's peaks) is not
    // built at all: a recalculation then costs what it cost without the trail.
    if (!Store())
        return;
    try {
        const std::string payload = RecalculationPayload(command, assays, state, flags, messages);
        if (std::optional<AuditStore::PendingEvent> pending = Begin())
            Commit(*pending, kRecalculationEvent, payload);
    } catch (const std::exception& e) { // out of memory while building the payload
        NoteFailure(e.what());
    }
}

} // namespace sepmet::audit
