// The report document: the contract between the plug-in and the template. Element and attribute
// names, their order and the text form of every value are fixed.

#include "platform/local_time.h"
#include "platform/number_text.h"
#include "platform/utf.h"
#include "report/file_name.h"
#include "report/report_generator.h"
#include "report/xml_text.h"
#include "resources/strings.h"
#include "resources/version.h"

#include <pugixml.hpp>

namespace sepmet {
namespace {

void Set(pugi::xml_node node, const char* name, std::u16string_view value) {
    SetXmlText(node, name, value);
}

void SetNumber(pugi::xml_node node, int number) {
    node.append_attribute("number").set_value(number);
}

template <typename Table> const Table& ReportedTable(const Table& table, bool refilled) {
    static const Table none;
    return refilled ? table : none;
}

std::time_t CurrentTime() {
    return std::time(nullptr);
}

} // namespace

ReportGenerator::ReportGenerator(const CalculationState& state, const MessageLog& log)
    : state_(state), log_(log), clock_(&CurrentTime) {}

std::u16string ReportGenerator::BuildXml() const {
    pugi::xml_document doc;
    pugi::xml_node root = StartUtf16Document(doc, "root");
    // A zone changed since the last report takes effect, as on the system's own clock.
    ReadLocalTimeZone();
    Set(root, "date_created", FormatUserDateTime(clock_()));
    const MeasurementSettings& settings = state_.settings;
    Set(root, "vW", FormatGeneral(settings.vW, 10));
    Set(root, "vG", FormatGeneral(settings.vG, 10));
    Set(root, "rhoG", FormatGeneral(settings.rhoG, 10));
    Set(root, "atmP", FormatGeneral(settings.atmP, 10));
    Set(root, "gasT", FormatGeneral(settings.gasT, 10));
    root.append_attribute("prog_version").set_value((std::string(" ") + kVersionText).c_str());

    pugi::xml_node files = root.append_child("files");
    if (assays) {
        int number = 0;
        for (const Assay& assay : *assays) {
            pugi::xml_node row = files.append_child("row");
            SetNumber(row, ++number);
            Set(row, "fileName", LastPathComponent(assay.filename));
            Set(row, "MixtureName", assay.mixture);
            Set(row, "date", FormatChromatogramDate(assay.date));
            Set(row, "sample", assay.sample);
            Set(row, "type", assay.type);
        }
    }

    // A table is reported only when the last recalculation refilled its page; otherwise it holds
    // results of another set of chromatograms or conditions, and the element stays empty. A row
    // whose value was not obtained (0) is left out the same way, so that no template can print it
    // as a result.
    pugi::xml_node calibration = root.append_child("calibration");
    int number = 0;
    for (const auto& [component, record] :
         ReportedTable(state_.calibrationTable, state_.gradPageRefilled)) {
        if (!CalibrationObtained(record))
            continue;
        pugi::xml_node row = calibration.append_child("row");
        SetNumber(row, ++number);
        Set(row, "comp", component);
        Set(row, "k_avg", FormatFixed(record.k_avg, 4));
    }

    pugi::xml_node calculation = root.append_child("calculation");
    number = 0;
    for (const auto& [component, record] :
         ReportedTable(state_.contentTable, state_.calcPageRefilled)) {
        if (!ContentObtained(record))
            continue;
        pugi::xml_node row = calculation.append_child("row");
        SetNumber(row, ++number);
        Set(row, "comp", component);
        Set(row, "y_avg", FormatValueWithUncertainty(record.y_avg, record.uncertainty));
        Set(row, "X", FormatFixed(record.massFraction, 6));
        Set(row, "C", FormatFixed(record.molarFraction, 6));
    }

    pugi::xml_node signature = root.append_child("signed");
    signature.append_child("operator").text().set(ToUtf8(u"Оператор О.О.").c_str());

    pugi::xml_node messages = root.append_child("messages");
    for (const std::u16string& line : log_.Layout())
        Set(messages.append_child("row"), "msg_str", line);
    return Utf16Text(doc);
}

} // namespace sepmet
