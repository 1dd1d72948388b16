#include "platform/system_log.h"
#include "platform/utf.h"
#include "platform/win_text.h"

#include <cstdlib>
#include <windows.h>

namespace sepmet {
namespace {

constexpr const wchar_t* kSource = L"sepmet";

// The Windows Event Log, Application log, source "sepmet". An entry carries four texts: the
// message, the trail, the number and the hash; the last three are read back, never the message.
class WindowsSystemLog final : public SystemLog {
public:
    void Record(const SystemLogEntry& entry) override {
        HANDLE log = RegisterEventSourceW(nullptr, kSource);
        if (!log)
            return;
        const std::u16string texts[] = {FromUtf8(SystemLogMessage(entry)), FromUtf8(entry.trail),
                                        FromUtf8(std::to_string(entry.seq)), FromUtf8(entry.hash)};
        const wchar_t* strings[] = {WidePointer(texts[0]), WidePointer(texts[1]),
                                    WidePointer(texts[2]), WidePointer(texts[3])};
        ReportEventW(log, EVENTLOG_INFORMATION_TYPE, 0, 0, nullptr, 4, 0, strings, nullptr);
        DeregisterEventSource(log);
    }

    std::optional<std::vector<SystemLogEntry>> Read(std::string_view trail,
                                                    std::string& reason) override {
        HANDLE log = OpenEventLogW(nullptr, L"Application");
        if (!log) {
            reason = "the event log cannot be opened: " + SystemErrorText(GetLastError());
            return std::nullopt;
        }
        std::vector<SystemLogEntry> entries;
        std::string buffer(64 * 1024, '\0');
        for (;;) {
            DWORD read = 0;
            DWORD needed = 0;
            if (!ReadEventLogW(log, EVENTLOG_SEQUENTIAL_READ | EVENTLOG_FORWARDS_READ, 0,
                               buffer.data(), static_cast<DWORD>(buffer.size()), &read, &needed)) {
                const DWORD code = GetLastError();
                if (code == ERROR_INSUFFICIENT_BUFFER && needed > buffer.size()) {
                    buffer.resize(needed);
                    continue;
                }
                if (code != ERROR_HANDLE_EOF) {
                    CloseEventLog(log);
                    reason = "the event log cannot be read: " + SystemErrorText(code);
                    return std::nullopt;
                }
                break;
            }
            for (DWORD at = 0; at + sizeof(EVENTLOGRECORD) <= read;) {
                const auto* record = reinterpret_cast<const EVENTLOGRECORD*>(buffer.data() + at);
                if (record->Length == 0)
                    break;
                Collect(*record, trail, entries);
                at += record->Length;
            }
        }
        CloseEventLog(log);
        return entries;
    }

private:
    static void Collect(const EVENTLOGRECORD& record, std::string_view trail,
                        std::vector<SystemLogEntry>& entries) {
        const auto* base = reinterpret_cast<const char*>(&record);
        const auto* source = reinterpret_cast<const wchar_t*>(base + sizeof(EVENTLOGRECORD));
        if (std::wstring_view(source) != kSource || record.NumStrings < 4)
            return;
        std::u16string texts[4];
        const auto* text = reinterpret_cast<const wchar_t*>(base + record.StringOffset);
        for (std::u16string& field : texts) {
            field = FromWide(text);
            text += field.size() + 1;
        }
        if (ToUtf8(texts[1]) != trail)
            return;
        SystemLogEntry entry;
        entry.trail = trail;
        entry.seq = std::strtoll(ToUtf8(texts[2]).c_str(), nullptr, 10);
        entry.hash = ToUtf8(texts[3]);
        if (entry.seq > 0)
            entries.push_back(std::move(entry));
    }
};

} // namespace

SystemLog& DefaultSystemLog() {
    static WindowsSystemLog log;
    return log;
}

} // namespace sepmet
