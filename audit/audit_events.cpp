#include "audit/audit_events.h"

#include "audit/json_writer.h"
#include "audit/sha256.h"
#include "data/assay_collection.h"
#include "platform/utf.h"
#include "resources/strings.h"

namespace sepmet::audit {

std::string PeaksDigest(const std::vector<Peak>& peaks) {
    std::string lines;
    for (const Peak& peak : peaks) {
        lines += ToUtf8(peak.name);
        lines += '\t';
        lines += FormatNumber(peak.area);
        lines += '\t';
        lines += FormatNumber(peak.time);
        lines += '\t';
        lines += std::to_string(peak.channel);
        lines += '\n';
    }
    return Sha256Hex(lines);
}

std::string RecalculationPayload(std::string_view command, const AssayCollection& assays,
                                 const CalculationState& state, const ReadinessFlags& flags,
                                 const std::vector<std::u16string>& messages) {
    // Read without creating records: recording does not change the state.
    const std::u16string methanol(LoadString(StringId::Methanol));
    const auto calibration = state.calibrationTable.find(methanol);
    const auto content = state.contentTable.find(methanol);
    const ContentRecord none;
    const ContentRecord& result = content != state.contentTable.end() ? content->second : none;

    JsonWriter json;
    json.BeginObject();
    json.Key("command").StringUtf8(command);
    json.Key("chromatograms").BeginArray();
    for (const Assay& assay : assays) {
        json.BeginObject();
        json.Key("id").Integer(assay.id);
        json.Key("fileName").String(assay.filename);
        json.Key("peaks").StringUtf8(PeaksDigest(assay.peaks));
        json.EndObject();
    }
    json.EndArray();
    const MeasurementSettings& settings = state.settings;
    json.Key("conditions").BeginObject();
    json.Key("vW").Number(settings.vW);
    json.Key("vG").Number(settings.vG);
    json.Key("rhoG").Number(settings.rhoG);
    json.Key("atmP").Number(settings.atmP);
    json.Key("gasT").Number(settings.gasT);
    json.EndObject();
    json.Key("calibrationReady").Bool(flags.calibrationReady);
    json.Key("absorptionReady").Bool(flags.absorptionReady);
    json.Key("conditionsReady").Bool(flags.conditionsReady);
    json.Key("threeMeasurementsRequired").Bool(state.threeMeasurementsRequired);
    json.Key("k_avg").Number(calibration != state.calibrationTable.end() ? calibration->second.k_avg
                                                                         : 0.0);
    json.Key("y_avg").Number(result.y_avg);
    json.Key("uncertainty").Number(result.uncertainty);
    json.Key("massFraction").Number(result.massFraction);
    json.Key("molarFraction").Number(result.molarFraction);
    json.Key("messages").BeginArray();
    for (const std::u16string& line : messages)
        json.String(line);
    json.EndArray();
    json.EndObject();
    return json.Text();
}

std::string ReportPayload(const ReportDigests& digests) {
    JsonWriter json;
    json.BeginObject();
    json.Key("document").StringUtf8(digests.document);
    json.Key("template").StringUtf8(digests.templateText);
    // Paths of this system are bytes; anything not UTF-8 becomes U+FFFD.
    json.Key("templatePath").String(FromUtf8(digests.templatePath));
    json.EndObject();
    return json.Text();
}

std::string ReportFilePayload(std::int64_t reportSeq, const std::string& html,
                              const std::string& outputPath) {
    JsonWriter json;
    json.BeginObject();
    json.Key("report").Integer(reportSeq);
    json.Key("html").StringUtf8(html);
    json.Key("outputPath").String(FromUtf8(outputPath));
    json.EndObject();
    return json.Text();
}

std::string ReportFailedPayload(std::int64_t reportSeq, const std::string& reason) {
    JsonWriter json;
    json.BeginObject();
    json.Key("report").Integer(reportSeq);
    json.Key("failed").String(FromUtf8(reason));
    json.EndObject();
    return json.Text();
}

} // namespace sepmet::audit
