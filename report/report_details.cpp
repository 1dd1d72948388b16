// The details document: the intermediate values of the last recalculation, handed to the template
// as its parameter `details` beside the unchanged report document. Each value is written twice
// where the template both prints and draws it: as the pages write it (decimal comma) and as an
// XPath number ("value", decimal point, never an exponent).

#include "calc/calculation_details.h"
#include "platform/number_text.h"
#include "report/file_name.h"
#include "report/report_generator.h"
#include "report/xml_text.h"

#include <charconv>
#include <cmath>
#include <pugixml.hpp>

namespace sepmet {
namespace {

void Set(pugi::xml_node node, const char* name, std::u16string_view text) {
    SetXmlText(node, name, text);
}
void Set(pugi::xml_node node, const char* name, std::string_view text) {
    node.append_attribute(name).set_value(std::string(text).c_str());
}

// The shortest text that reads back as the same double, in fixed notation.
std::string XPathNumber(double value) {
    if (!std::isfinite(value))
        return "NaN";
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : "NaN";
}

void SetFixed(pugi::xml_node node, const char* name, double value, int decimals) {
    Set(node, name, FormatFixed(value, decimals));
}

void WriteCalibration(pugi::xml_node parent, const CalibrationRecord& record) {
    pugi::xml_node calibration = parent.append_child("calibration");
    if (CalibrationObtained(record)) {
        SetFixed(calibration, "k_avg", record.k_avg, 4);
        Set(calibration, "value", XPathNumber(record.k_avg));
    }
    for (const LevelCheck& check : record.levelChecks) {
        pugi::xml_node level = calibration.append_child("level");
        Set(level, "c", FormatGeneral(check.concentration, 10));
        Set(level, "value", XPathNumber(check.concentration));
        Set(level, "outcome", LevelOutcomeName(check.outcome));
        if (check.outcome == LevelOutcome::Passed || check.outcome == LevelOutcome::Deviation) {
            SetFixed(level, "K1", check.k1, 4);
            SetFixed(level, "K2", check.k2, 4);
            SetFixed(level, "K", check.k, 4);
            SetFixed(level, "d1", check.d1, 2);
            SetFixed(level, "d2", check.d2, 2);
        }
        const auto areas = record.levels.find(check.concentration);
        if (areas == record.levels.end())
            continue;
        for (double area : areas->second) {
            pugi::xml_node point = level.append_child("area");
            Set(point, "S", FormatGeneral(area, 10));
            Set(point, "value", XPathNumber(area));
        }
    }
}

void WriteContent(pugi::xml_node parent, const ContentRecord& record) {
    pugi::xml_node content = parent.append_child("content");
    if (record.reducedVolume > 0)
        Set(content, "reducedVolume", FormatGeneral(record.reducedVolume, 10));
    if (ContentObtained(record)) {
        SetFixed(content, "delta", record.relativeUncertainty, 2);
        SetFixed(content, "y", record.y_avg, 6);
        Set(content, "bracket", ContentBracketName(record.y_avg));
    }
    for (std::size_t i = 0; i < record.areas.size(); ++i) {
        pugi::xml_node measurement = content.append_child("measurement");
        if (i < record.sources.size()) {
            const AreaSource& source = record.sources[i];
            measurement.append_attribute("number").set_value(
                static_cast<unsigned long long>(source.listNumber));
            Set(measurement, "fileName", LastPathComponent(source.fileName));
        }
        Set(measurement, "S", FormatGeneral(record.areas[i], 10));
        if (i < record.solutionConcentrations.size())
            SetFixed(measurement, "X", record.solutionConcentrations[i], 6);
        if (i < record.gasConcentrations.size())
            SetFixed(measurement, "Y", record.gasConcentrations[i], 6);
    }
    for (const ContentTest& test : record.tests) {
        pugi::xml_node node = content.append_child("test");
        Set(node, "kind", ContentTestName(test.kind));
        SetFixed(node, "D", test.difference, 2);
        SetFixed(node, "limit", test.limit, 2);
        SetFixed(node, "y", test.limitBasis, 6);
        Set(node, "bracket", ContentBracketName(test.limitBasis));
        Set(node, "passed", test.passed ? "1" : "0");
    }
}

} // namespace

std::u16string ReportGenerator::BuildDetailsXml() const {
    pugi::xml_document doc;
    pugi::xml_node details = StartUtf16Document(doc, "details");
    if (const CalibrationRecord* calibration = CalibrationReached(state_))
        WriteCalibration(details, *calibration);
    if (const ContentRecord* content = ContentReached(state_))
        WriteContent(details, *content);
    return Utf16Text(doc);
}

} // namespace sepmet
