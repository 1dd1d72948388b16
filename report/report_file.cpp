#include "report/report_file.h"

#include "platform/shared_data_folder.h"
#include "report/report_generator.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sepmet {

ReportFileOutcome WriteReportFile(const AssayCollection& assays, const CalculationState& state,
                                  const MessageLog& log, const std::string& htmlPath,
                                  const std::string& templatePath) {
    if (templatePath.empty() && !SharedDataFolder())
        return ReportFileOutcome::NoSharedDataFolder;
    ReportGenerator generator(state, log);
    generator.assays = &assays;
    generator.SetTemplateFile(templatePath);
    generator.SetOutputFile(htmlPath);
    return generator.Generate() ? ReportFileOutcome::Written : ReportFileOutcome::Failed;
}

std::string WriteReportXml(const AssayCollection& assays, const CalculationState& state,
                           const MessageLog& log, const std::string& xmlPath) {
    ReportGenerator generator(state, log);
    generator.assays = &assays;
    const std::u16string text = generator.BuildXml();
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    std::FILE* file = std::fopen(xmlPath.c_str(), "wb");
    if (!file)
        return "Cannot create \"" + xmlPath + "\": " + std::strerror(errno);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeError = errno;
    if (std::fclose(file) != 0 || !written)
        return "Cannot write \"" + xmlPath + "\": " + std::strerror(written ? errno : writeError);
    return {};
}

} // namespace sepmet
