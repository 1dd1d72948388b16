#pragma once
// The five measurement conditions as the operator types them: one parser for the settings
// dialog and for sepmet-batch.

#include "calc/measurement_settings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sepmet {

// The fields in the order the dialog reads them.
enum class ConditionField { vW, vG, rhoG, atmP, gasT };
inline constexpr std::array<ConditionField, 5> kConditionFields{
    ConditionField::vW, ConditionField::vG, ConditionField::rhoG, ConditionField::atmP,
    ConditionField::gasT};

// The stored key of a field: "vW", "vG", "rhoG", "atmP", "gasT".
std::u16string_view ConditionKey(ConditionField field);
double& ConditionValue(MeasurementSettings& settings, ConditionField field);
double ConditionValue(const MeasurementSettings& settings, ConditionField field);

// The whole text, trimmed of white space, must be one finite decimal number: optional sign,
// digits with at most one decimal comma or point, an optional exponent ("1e3", "2,5e-1").
// Nothing for anything else: "", "12abc", "nan", "inf", "0x10", "1,2.3", "1e999".
std::optional<double> ParseConditionText(std::u16string_view text);

// The five texts, in kConditionFields order.
using ConditionTexts = std::array<std::u16string, 5>;

struct RefusedCondition {
    enum class Reason {
        Empty,     // nothing typed (message 1036)
        NotNumber, // not one finite number (message 1038)
    };
    ConditionField field;
    Reason reason;
    bool operator==(const RefusedCondition&) const = default;
};

struct ConditionCheck {
    MeasurementSettings values;            // valid only when nothing is refused
    std::vector<RefusedCondition> refused; // every refused field, in field order
    bool Accepted() const { return refused.empty(); }
};

ConditionCheck CheckConditionTexts(const ConditionTexts& texts);

// The texts the settings dialog shows for the conditions in effect ("101,325", "20,0").
ConditionTexts ConditionDisplayTexts(const MeasurementSettings& settings);

} // namespace sepmet
