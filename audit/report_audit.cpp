#include "audit/report_audit.h"

#include "audit/audit_events.h"
#include "audit/event_identity.h"
#include "audit/sha256.h"
#include "platform/utf.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>

namespace sepmet::audit {
namespace {

// Restores the generator's own parameters when the report ends, by success or by failure.
class ParametersRestorer {
public:
    explicit ParametersRestorer(ReportGenerator& generator)
        : generator_(generator), saved_(generator.TransformParameters()) {}
    ~ParametersRestorer() { generator_.SetTransformParameters(saved_); }
    const XsltParameters& Saved() const { return saved_; }

private:
    ReportGenerator& generator_;
    XsltParameters saved_;
};

std::optional<std::string> ReadBytes(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return std::nullopt;
    return bytes;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

} // namespace

void ReportAudit::RefuseReport() const {
    throw std::runtime_error("The report is made only when its event is recorded in the audit "
                             "trail (AuditRequired), and " +
                             trail_.Path() + " did not take it: " + trail_.LastFailure());
}

void ReportAudit::Transform(ReportGenerator& generator) {
    lastSeq_ = 0;
    ParametersRestorer restorer(generator);
    XsltParameters withUser = restorer.Saved();
    withUser.emplace_back("audit-user", FromUtf8(LoginName()));
    const AuditTrail::OnFailure onFailure =
        required_ ? AuditTrail::OnFailure::Count : AuditTrail::OnFailure::Announce;

    std::optional<AppendedEvent> event;
    std::string document;
    try {
        document = Sha256HexUtf16Le(generator.sourceXml);
        event = trail_.Record(kReportEvent,
                              ReportPayload({document, Sha256HexUtf16Le(generator.stylesheetXml),
                                             generator.StylesheetFile()}),
                              onFailure);
    } catch (const std::exception& e) { // out of memory while hashing
        trail_.NoteFailure(e.what());
    }
    if (!event) {
        if (required_)
            RefuseReport();
        generator.SetTransformParameters(withUser);
        generator.Transform();
        return;
    }

    const std::int64_t seq = event->event.seq;
    XsltParameters withReference = withUser;
    withReference.emplace_back("audit-seq", FromUtf8(std::to_string(seq)));
    withReference.emplace_back("audit-digest", FromUtf8(document.substr(0, 16)));
    if (event->prevSeq > 0) {
        withReference.emplace_back("audit-prev-seq", FromUtf8(std::to_string(event->prevSeq)));
        withReference.emplace_back("audit-prev-hash", FromUtf8(event->event.prev.substr(0, 16)));
    }
    generator.SetTransformParameters(withReference);
    try {
        generator.Transform();
    } catch (const ComponentError& e) {
        trail_.Record(kReportFileEvent, ReportFailedPayload(seq, ToUtf8(e.MessageText())));
        throw;
    } catch (const std::exception& e) {
        trail_.Record(kReportFileEvent, ReportFailedPayload(seq, e.what()));
        throw;
    }
    lastSeq_ = seq;

    const std::string written = generator.OutputFile();
    bool recorded = false;
    try {
        const std::optional<std::string> html = ReadBytes(written);
        if (!html)
            throw std::runtime_error("cannot read back the written report " + written);
        recorded =
            trail_
                .Record(kReportFileEvent,
                        ReportFilePayload(seq, Sha256Hex(*html), AbsolutePath(written)), onFailure)
                .has_value();
    } catch (const std::exception& e) {
        trail_.NoteFailure(e.what());
    }
    if (!recorded && required_) {
        // The page names its event, but the trail does not hold what was written.
        std::remove(written.c_str());
        lastSeq_ = 0;
        RefuseReport();
    }
}

} // namespace sepmet::audit
