#include "platform/system_log.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <syslog.h>
#include <systemd/sd-journal.h>

namespace sepmet {
namespace {

// The journal fields of an entry; the hash and number are read back from these, never from
// the message text.
constexpr const char* kTrailField = "SEPMET_AUDIT_TRAIL";
constexpr const char* kSeqField = "SEPMET_AUDIT_SEQ";
constexpr const char* kHashField = "SEPMET_AUDIT_HASH";

std::string FieldValue(sd_journal* journal, const char* field) {
    const void* data = nullptr;
    size_t length = 0;
    if (sd_journal_get_data(journal, field, &data, &length) < 0)
        return {};
    const std::string text(static_cast<const char*>(data), length);
    const std::size_t equals = text.find('=');
    return equals == std::string::npos ? std::string() : text.substr(equals + 1);
}

bool JournaldRuns() {
    struct stat info {};
    return ::stat("/run/systemd/journal/socket", &info) == 0 && S_ISSOCK(info.st_mode);
}

class LinuxSystemLog final : public SystemLog {
public:
    void Record(const SystemLogEntry& entry) override {
        const std::string message = SystemLogMessage(entry);
        if (JournaldRuns()) {
            sd_journal_send("MESSAGE=%s", message.c_str(), "PRIORITY=%i", LOG_NOTICE,
                            "SYSLOG_IDENTIFIER=sepmet", "SEPMET_AUDIT_TRAIL=%s",
                            entry.trail.c_str(), "SEPMET_AUDIT_SEQ=%lld",
                            static_cast<long long>(entry.seq), "SEPMET_AUDIT_HASH=%s",
                            entry.hash.c_str(), nullptr);
            return;
        }
        ::syslog(LOG_AUTHPRIV | LOG_NOTICE, "%s", message.c_str());
    }

    std::optional<std::vector<SystemLogEntry>> Read(std::string_view trail,
                                                    std::string& reason) override {
        sd_journal* journal = nullptr;
        if (const int rc = sd_journal_open(&journal, SD_JOURNAL_LOCAL_ONLY); rc < 0) {
            reason = std::string("the journal cannot be opened: ") + std::strerror(-rc);
            return std::nullopt;
        }
        const std::string match = std::string(kTrailField) + "=" + std::string(trail);
        std::vector<SystemLogEntry> entries;
        if (sd_journal_add_match(journal, match.data(), match.size()) >= 0) {
            SD_JOURNAL_FOREACH(journal) {
                SystemLogEntry entry;
                entry.trail = trail;
                const std::string seq = FieldValue(journal, kSeqField);
                entry.seq = seq.empty() ? 0 : std::strtoll(seq.c_str(), nullptr, 10);
                entry.hash = FieldValue(journal, kHashField);
                if (entry.seq > 0)
                    entries.push_back(std::move(entry));
            }
        }
        sd_journal_close(journal);
        return entries;
    }
};

} // namespace

SystemLog& DefaultSystemLog() {
    static LinuxSystemLog log;
    return log;
}

} // namespace sepmet
