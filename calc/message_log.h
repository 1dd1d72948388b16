#pragma once
// The errors, warnings and information lines of the last recalculation.

#include <string>
#include <string_view>
#include <vector>

namespace sepmet {

class MessageLog {
public:
    // Each stores "     - " followed by the text verbatim.
    void AddError(std::u16string_view text);
    void AddWarning(std::u16string_view text);
    void AddInformation(std::u16string_view text);
    void ClearMessages();

    const std::vector<std::u16string>& Errors() const { return errors_; }
    const std::vector<std::u16string>& Warnings() const { return warnings_; }
    const std::vector<std::u16string>& Information() const { return information_; }

    // The lines of the messages page and of the report: one error heading and one warning
    // heading, each followed by its lines, then the information section only when it has lines.
    std::vector<std::u16string> Layout() const;

private:
    std::vector<std::u16string> errors_;
    std::vector<std::u16string> warnings_;
    std::vector<std::u16string> information_;
};

// The process-wide reference to the log of the open window (or of the batch program).
// Reading it while no owner has set it raises std::logic_error.
MessageLog& ProcessMessageLog();
void SetProcessMessageLog(MessageLog* log);

} // namespace sepmet
