#include "batch/batch_output.h"

#include "batch/batch_session.h"
#include "calc/calculation_details.h"
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

// A value this recalculation did not obtain is null, never a number a reader takes as a result.
std::string JsonObtained(bool obtained, double value) {
    return obtained ? JsonNumber(value) : "null";
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

std::string JsonText(std::string_view name) {
    return "\"" + std::string(name) + "\"";
}

std::string CalibrationDetailsJson(const CalibrationRecord& record) {
    const std::vector<double> none;
    const std::string levels = JsonArray(record.levelChecks, [&](const LevelCheck& check) {
        const auto found = record.levels.find(check.concentration);
        const bool tested =
            check.outcome == LevelOutcome::Passed || check.outcome == LevelOutcome::Deviation;
        std::string out = "{\"c\":" + JsonNumber(check.concentration);
        out += ",\"areas\":" +
               JsonArray(found != record.levels.end() ? found->second : none, JsonNumber);
        out += ",\"K1\":" + JsonObtained(tested, check.k1);
        out += ",\"K2\":" + JsonObtained(tested, check.k2);
        out += ",\"K\":" + JsonObtained(tested, check.k);
        out += ",\"d1\":" + JsonObtained(tested, check.d1);
        out += ",\"d2\":" + JsonObtained(tested, check.d2);
        out += ",\"passed\":";
        out += check.outcome == LevelOutcome::NotTested
                   ? "null"
                   : JsonBool(check.outcome == LevelOutcome::Passed);
        out += ",\"outcome\":" + JsonText(LevelOutcomeName(check.outcome));
        return out + "}";
    });
    return "{\"levels\":" + levels + "}";
}

std::string ContentDetailsJson(const ContentRecord& record) {
    std::vector<std::size_t> indexes(record.areas.size());
    for (std::size_t i = 0; i < indexes.size(); ++i)
        indexes[i] = i;
    const auto at = [](const std::vector<double>& values, std::size_t i) {
        return i < values.size() ? JsonNumber(values[i]) : "null";
    };
    std::string out =
        "{\"measurements\":" + JsonArray(indexes, [&](std::size_t i) {
            std::string m = "{\"id\":";
            m += i < record.sources.size() ? std::to_string(record.sources[i].id) : "null";
            m += ",\"area\":" + JsonNumber(record.areas[i]);
            m += ",\"X\":" + at(record.solutionConcentrations, i);
            m += ",\"Y\":" + at(record.gasConcentrations, i);
            return m + "}";
        });
    out += ",\"reducedVolume\":" + JsonObtained(record.reducedVolume > 0, record.reducedVolume);
    // The test that decided: the last one the content stage ran.
    const ContentTest* test = record.tests.empty() ? nullptr : &record.tests.back();
    out += ",\"test\":" + (test ? JsonText(ContentTestName(test->kind)) : "null");
    out += ",\"D\":" + (test ? JsonNumber(test->difference) : "null");
    out += ",\"limit\":" + (test ? JsonNumber(test->limit) : "null");
    out += ",\"passed\":" + std::string(test ? JsonBool(test->passed) : "null");
    out += ",\"delta\":" + JsonObtained(ContentObtained(record), record.relativeUncertainty);
    return out + "}";
}

// The intermediate values of the stages the last recalculation reached; null for the others.
std::string DetailsJson(const CalculationState& state) {
    const CalibrationRecord* calibration = CalibrationReached(state);
    const ContentRecord* content = ContentReached(state);
    return "{\"calibration\":" + (calibration ? CalibrationDetailsJson(*calibration) : "null") +
           ",\"content\":" + (content ? ContentDetailsJson(*content) : "null") + "}";
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
    // Read without creating records: printing does not change the state. A value of a page this
    // recalculation did not refill, or one it did not obtain (0), is null.
    const CalculationState& state = session.State();
    const CalibrationRecord* calibration = CalibrationReached(state);
    const ContentRecord* content = ContentReached(state);
    const auto found = state.contentTable.find(kMethanol);
    const ContentRecord none;
    const ContentRecord& record = found != state.contentTable.end() ? found->second : none;
    const bool calibrated = calibration && CalibrationObtained(*calibration);
    const bool obtained = content && ContentObtained(*content);
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
    out += ",\"k_avg\":" + JsonObtained(calibrated, calibration ? calibration->k_avg : 0);
    out += ",\"y_avg\":" + JsonObtained(obtained, record.y_avg);
    out += ",\"uncertainty\":" + JsonObtained(obtained, record.uncertainty);
    out += ",\"massFraction\":" + JsonObtained(obtained, record.massFraction);
    out += ",\"molarFraction\":" + JsonObtained(obtained, record.molarFraction);
    out += ",\"areas\":" + JsonArray(record.areas, JsonNumber);
    out += ",\"threeMeasurementsRequired\":";
    out += JsonBool(state.threeMeasurementsRequired);
    out += ",\"details\":" + DetailsJson(state);
    return out + "}";
}

} // namespace sepmet::batch
