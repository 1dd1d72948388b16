#include "audit/audit_trail.h"

#include "audit/audit_events.h"
#include "platform/system_log.h"
#include "platform/utf.h"

namespace sepmet::audit {

std::u16string NoticeText(const AuditFailure& failure) {
    return u"Событие не записано в журнал аудита:\n" + FromUtf8(failure.path) + u"\n" +
           FromUtf8(failure.reason) +
           u"\nСледующие события записываются по-прежнему; первое записанное из них укажет, "
           u"сколько событий пропущено.";
}

std::string WithLostEvents(std::string_view payload, std::int64_t lost) {
    if (lost <= 0 || payload.empty() || payload.back() != '}')
        return std::string(payload);
    std::string text(payload.substr(0, payload.size() - 1));
    if (text.size() > 1)
        text += ',';
    return text + "\"lostEvents\":" + std::to_string(lost) + "}";
}

AuditTrail::AuditTrail(std::string path, AuditStore::Folders folders, NoticeHook notice,
                       SystemLog* log)
    : path_(std::move(path)), folders_(folders), notice_(std::move(notice)),
      log_(log ? log : &DefaultSystemLog()) {}

void AuditTrail::Fail(const std::string& reason, OnFailure onFailure) {
    ++lost_;
    lastFailure_ = reason;
    if (onFailure != OnFailure::Announce || noticed_)
        return;
    noticed_ = true;
    if (notice_)
        notice_({path_, reason});
}

void AuditTrail::NoteFailure(const std::string& reason) {
    Fail(reason, OnFailure::Announce);
}

AuditStore* AuditTrail::Store(OnFailure onFailure) {
    if (store_)
        return &*store_;
    if (path_.empty()) {
        Fail("no folder for the audit trail: neither XDG_DATA_HOME nor HOME is set", onFailure);
        return nullptr;
    }
    try {
        store_ = AuditStore::OpenForAppend(path_, folders_);
        return &*store_;
    } catch (const std::exception& e) {
        Fail(e.what(), onFailure);
    }
    return nullptr;
}

std::optional<AppendedEvent> AuditTrail::Record(std::string_view kind, std::string_view payload,
                                                OnFailure onFailure) {
    AuditStore* store = Store(onFailure);
    if (!store)
        return std::nullopt;
    try {
        AppendedEvent appended = store->Append(kind, WithLostEvents(payload, lost_));
        lost_ = 0;
        log_->Record({store->TrailId(), appended.event.seq, appended.event.hash, path_});
        return appended;
    } catch (const std::exception& e) {
        Fail(e.what(), onFailure);
    }
    return std::nullopt;
}

void AuditTrail::RecordRecalculation(std::string_view command, const AssayCollection& assays,
                                     const CalculationState& state, const ReadinessFlags& flags,
                                     const std::vector<std::u16string>& messages) {
    // Without a usable store the payload (with a digest of every chromatogram's peaks) is not
    // built at all: a recalculation then costs what it cost without the trail.
    if (!Store(OnFailure::Announce))
        return;
    try {
        Record(kRecalculationEvent, RecalculationPayload(command, assays, state, flags, messages));
    } catch (const std::exception& e) { // out of memory while building the payload
        NoteFailure(e.what());
    }
}

} // namespace sepmet::audit
