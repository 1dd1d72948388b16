#include "batch/batch_output.h"

#include "batch/batch_session.h"
#include "platform/utf.h"
#include "resources/strings.h"

#include <charconv>
#include <cmath>

namespace sepmet::batch {
namespace {

const std::u16string kMethanol(LoadString(StringId::Methanol));

void AppendRow(std::string& out, const PageRow& row) {
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i)
            out += '\t';
        out += ToUtf8(row[i]);
    }
    out += '\n';
}

void AppendPage(std::string& out, int title, const PageRow& columns, const PageRows& rows) {
    out += ToUtf8(LoadString(title));
    out += '\n';
    AppendRow(out, columns);
    for (const PageRow& row : rows)
        AppendRow(out, row);
}

std::string JsonString(std::u16string_view text) {
    const std::string utf8 = ToUtf8(text);
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            static const char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// 17 significant digits, so that the double is read back exactly; JSON has no NaN or infinity.
std::string JsonNumber(double value) {
    if (!std::isfinite(value))
        return "null";
    char buffer[32];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return std::string(buffer, result.ptr);
}

const char* JsonBool(bool value) {
    return value ? "true" : "false";
}

template <typename T, typename Format>
std::string JsonArray(const std::vector<T>& items, Format format) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i)
            out += ',';
        out += format(items[i]);
    }
    return out + "]";
}

std::string JsonRows(const PageRows& rows) {
    return JsonArray(rows, [](const PageRow& row) {
        return JsonArray(row, [](const std::u16string& cell) { return JsonString(cell); });
    });
}

} // namespace

std::string PagesText(const BatchSession& session) {
    std::string out;
    AppendPage(out, StringId::TabGrad, GradPageColumns(), session.GradRows());
    out += '\n';
    AppendPage(out, StringId::TabCalc, CalcPageColumns(), session.CalcRows());
    out += '\n';
    out += ToUtf8(LoadString(StringId::TabMessages));
    out += '\n';
    for (const std::u16string& line : session.MessageLines())
        out += ToUtf8(line) + '\n';
    return out;
}

std::string UnloadedAssayText(const UnloadedAssay& unloaded) {
    return "sepmet-batch: no chromatogram " + std::to_string(unloaded.id) + " in the database";
}

std::string JsonLine(const Command& command, const BatchSession& session) {
    // Read without creating records: printing does not change the state.
    const CalculationState& state = session.State();
    const auto calibration = state.calibrationTable.find(kMethanol);
    const auto content = state.contentTable.find(kMethanol);
    const ContentRecord none;
    const ContentRecord& record = content != state.contentTable.end() ? content->second : none;
    const double kAvg =
        calibration != state.calibrationTable.end() ? calibration->second.k_avg : 0.0;
    const ReadinessFlags& flags = session.Readiness();

    std::string out = "{\"command\":" + JsonString(FromUtf8(command.text));
    if (command.kind == Command::Kind::Add || command.kind == Command::Kind::Remove)
        out += ",\"argument\":" + JsonString(FromUtf8(command.argument));
    out += ",\"assays\":" +
           JsonArray(session.Assays().Ids(), [](std::int32_t id) { return std::to_string(id); });
    out += ",\"calibrationReady\":";
    out += JsonBool(flags.calibrationReady);
    out += ",\"absorptionReady\":";
    out += JsonBool(flags.absorptionReady);
    out += ",\"conditionsReady\":";
    out += JsonBool(flags.conditionsReady);
    out += ",\"grad\":" + JsonRows(session.GradRows());
    out += ",\"calc\":" + JsonRows(session.CalcRows());
    out += ",\"messages\":" + JsonArray(session.MessageLines(), [](const std::u16string& line) {
               return JsonString(line);
           });
    out += ",\"k_avg\":" + JsonNumber(kAvg);
    out += ",\"y_avg\":" + JsonNumber(record.y_avg);
    out += ",\"uncertainty\":" + JsonNumber(record.uncertainty);
    out += ",\"massFraction\":" + JsonNumber(record.massFraction);
    out += ",\"molarFraction\":" + JsonNumber(record.molarFraction);
    out += ",\"areas\":" + JsonArray(record.areas, JsonNumber);
    out += ",\"threeMeasurementsRequired\":";
    out += JsonBool(state.threeMeasurementsRequired);
    return out + "}";
}

} // namespace sepmet::batch
