#pragma once
// The report for the batch program: the rendered report written to a named file, or the report
// document itself.

#include "calc/calculation_state.h"
#include "calc/message_log.h"
#include "data/assay_collection.h"

#include <string>

namespace sepmet {

class ReportTransformHook;

enum class ReportFileOutcome {
    Written,            // the file holds the report
    Failed,             // the reason went through the message-box service (1052 to 1055)
    NoSharedDataFolder, // no template given and $XDG_DATA_DIRS names no usable folder
};

// Renders the report of `assays`, `state` and `log` into `htmlPath` (created or replaced) with
// `templatePath`, or with the shared template when `templatePath` is empty. `document`, when
// given, is transformed in place of a new one; `hook` runs the transformation (the audit trail).
ReportFileOutcome WriteReportFile(const AssayCollection& assays, const CalculationState& state,
                                  const MessageLog& log, const std::string& htmlPath,
                                  const std::string& templatePath = {},
                                  const std::u16string* document = nullptr,
                                  ReportTransformHook* hook = nullptr);

// The report document of the state, as BuildXml gives it.
std::u16string BuildReportXml(const AssayCollection& assays, const CalculationState& state,
                              const MessageLog& log);

// Writes the report document to `xmlPath` as UTF-16LE bytes, without a byte-order mark.
// Returns the empty text on success, else an English reason.
std::string WriteReportXml(const AssayCollection& assays, const CalculationState& state,
                           const MessageLog& log, const std::string& xmlPath);
// The same for a document already built.
std::string WriteReportXml(std::u16string_view document, const std::string& xmlPath);

} // namespace sepmet
