#pragma once
// The payloads of the audit events: what a recalculation computed from which chromatograms, and
// which document, template and file a report was made of.

#include "calc/calculation_state.h"
#include "calc/input_check.h"
#include "data/assay.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sepmet {
class AssayCollection;
}

namespace sepmet::audit {

inline constexpr std::string_view kRecalculationEvent = "recalculation";
inline constexpr std::string_view kReportEvent = "report";
// What became of a report whose number was given: the file written, or why none was.
inline constexpr std::string_view kReportFileEvent = "report-file";

// The commands a recalculation follows, as the window's buttons name them.
inline constexpr std::string_view kCommandOpen = "open"; // the window's first recalculation
inline constexpr std::string_view kCommandAdd = "+";
inline constexpr std::string_view kCommandRemove = "-";
inline constexpr std::string_view kCommandClear = "--";
inline constexpr std::string_view kCommandReload = "R";
inline constexpr std::string_view kCommandSettings = "S"; // the settings dialog ended with OK
inline constexpr std::string_view kCommandView = "*";     // opens chromatograms; never recorded

// SHA-256 of the peak lines: per peak, in peak order, name, area, time (FormatNumber) and
// channel separated by tabs, each line ended by "\n"; UTF-8.
std::string PeaksDigest(const std::vector<Peak>& peaks);

// {"command", "chromatograms": [{"id", "fileName", "peaks"}...], "conditions": {"vW", "vG",
// "rhoG", "atmP", "gasT"}, the three readiness flags, "threeMeasurementsRequired", "k_avg",
// "y_avg", "uncertainty", "massFraction", "molarFraction", "messages"}. The results are those of
// "Метанол" (0 while it has no record); "fileName" is the chromatogram's stored path;
// "messages" are the lines of the messages page.
std::string RecalculationPayload(std::string_view command, const AssayCollection& assays,
                                 const CalculationState& state, const ReadinessFlags& flags,
                                 const std::vector<std::u16string>& messages);

// A report as its number is given, before the transformation: the digests of the document and
// the template (UTF-16LE texts) and the template's path.
struct ReportDigests {
    std::string document;
    std::string templateText;
    std::string templatePath;
};

// {"document", "template", "templatePath"}.
std::string ReportPayload(const ReportDigests& digests);

// After the transformation: {"report": seq, "html": SHA-256 of the written file, "outputPath"};
// or, when the report was not made, {"report": seq, "failed": the reason}.
std::string ReportFilePayload(std::int64_t reportSeq, const std::string& html,
                              const std::string& outputPath);
std::string ReportFailedPayload(std::int64_t reportSeq, const std::string& reason);

} // namespace sepmet::audit
