#include "report/report_file.h"

#include "platform/atomic_file.h"
#include "platform/shared_data_folder.h"
#include "report/report_generator.h"

namespace sepmet {

ReportFileOutcome WriteReportFile(const AssayCollection& assays, const CalculationState& state,
                                  const MessageLog& log, const std::string& htmlPath,
                                  const std::string& templatePath, const std::u16string* document,
                                  ReportTransformHook* hook) {
    if (templatePath.empty() && !SharedDataFolder())
        return ReportFileOutcome::NoSharedDataFolder;
    ReportGenerator generator(state, log);
    generator.assays = &assays;
    generator.SetTemplateFile(templatePath);
    generator.SetOutputFile(htmlPath);
    generator.SetTransformHook(hook);
    if (document)
        generator.SetNextSourceXml(*document);
    return generator.Generate() ? ReportFileOutcome::Written : ReportFileOutcome::Failed;
}

std::u16string BuildReportXml(const AssayCollection& assays, const CalculationState& state,
                              const MessageLog& log) {
    ReportGenerator generator(state, log);
    generator.assays = &assays;
    return generator.BuildXml();
}

std::string WriteReportXml(const AssayCollection& assays, const CalculationState& state,
                           const MessageLog& log, const std::string& xmlPath) {
    return WriteReportXml(BuildReportXml(assays, state, log), xmlPath);
}

std::string WriteReportXml(std::u16string_view text, const std::string& xmlPath) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return WriteFileAtomically(xmlPath, bytes);
}

} // namespace sepmet
