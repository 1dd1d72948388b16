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

} // namespace

void ReportAudit::Transform(ReportGenerator& generator) {
    lastSeq_ = 0;
    ParametersRestorer restorer(generator);
    XsltParameters withUser = restorer.Saved();
    withUser.emplace_back("audit-user", FromUtf8(LoginName()));

    // Only the transformation's own errors may end the report; the trail's never do.
    std::optional<AuditStore::PendingEvent> pending = trail_.Begin();
    std::string document;
    if (pending) {
        try {
            document = Sha256HexUtf16Le(generator.sourceXml);
        } catch (const std::exception& e) {
            trail_.NoteFailure(e.what());
            pending.reset();
        }
    }
    if (!pending) {
        generator.SetTransformParameters(withUser);
        generator.Transform();
        return;
    }
    XsltParameters withReference = withUser;
    withReference.emplace_back("audit-seq", FromUtf8(std::to_string(pending->Seq())));
    withReference.emplace_back("audit-digest", FromUtf8(document.substr(0, 16)));
    generator.SetTransformParameters(withReference);
    generator.Transform(); // an error rolls the event back as it passes

    const std::string written = generator.OutputFile();
    const std::int64_t seq = pending->Seq();
    try {
        const std::optional<std::string> html = ReadBytes(written);
        if (!html)
            throw std::runtime_error("cannot read back the written report " + written);
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(written, error);
        const ReportDigests digests{document, Sha256HexUtf16Le(generator.stylesheetXml),
                                    Sha256Hex(*html), generator.StylesheetFile(),
                                    error ? written : absolute.string()};
        if (trail_.Commit(*pending, kReportEvent, ReportPayload(digests))) {
            lastSeq_ = seq;
            return;
        }
    } catch (const std::exception& e) {
        trail_.NoteFailure(e.what());
    }
    // Not on record: the page must not name the event.
    pending.reset(); // rolled back
    generator.SetTransformParameters(withUser);
    generator.Transform();
    if (generator.OutputFile() != written)
        std::remove(written.c_str());
}

} // namespace sepmet::audit
