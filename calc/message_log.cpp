#include "calc/message_log.h"

#include "resources/strings.h"

#include <stdexcept>

namespace sepmet {
namespace {

MessageLog* processLog = nullptr;

std::u16string Prefixed(std::u16string_view text) {
    std::u16string line = u"     - ";
    line += text;
    return line;
}

void AppendSection(std::vector<std::u16string>& out, const std::vector<std::u16string>& lines,
                   int emptyHeading, int heading) {
    if (lines.empty()) {
        if (emptyHeading)
            out.emplace_back(LoadString(emptyHeading));
        return;
    }
    out.emplace_back(LoadString(heading));
    out.insert(out.end(), lines.begin(), lines.end());
}

} // namespace

void MessageLog::AddError(std::u16string_view text) {
    errors_.push_back(Prefixed(text));
}
void MessageLog::AddWarning(std::u16string_view text) {
    warnings_.push_back(Prefixed(text));
}
void MessageLog::AddInformation(std::u16string_view text) {
    information_.push_back(Prefixed(text));
}

void MessageLog::ClearMessages() {
    errors_.clear();
    warnings_.clear();
    information_.clear();
}

std::vector<std::u16string> MessageLog::Layout() const {
    std::vector<std::u16string> out;
    AppendSection(out, errors_, StringId::HeadNoErrors, StringId::HeadErrors);
    AppendSection(out, warnings_, StringId::HeadNoWarnings, StringId::HeadWarnings);
    AppendSection(out, information_, 0, StringId::HeadInformation);
    return out;
}

MessageLog& ProcessMessageLog() {
    if (!processLog)
        throw std::logic_error("no message log is open");
    return *processLog;
}

void SetProcessMessageLog(MessageLog* log) {
    processLog = log;
}

} // namespace sepmet
