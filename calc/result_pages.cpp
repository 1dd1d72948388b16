#include "calc/result_pages.h"

#include "platform/number_text.h"
#include "resources/strings.h"

namespace sepmet {
namespace {

std::u16string Text(int id) {
    return std::u16string(LoadString(id));
}

// A value the calculation did not obtain: k_avg and y_avg are never 0 as a result (every factor
// is positive), so 0 marks a failed rule, never a content of zero.
constexpr std::u16string_view kNotObtained = u"\u2014";

// Row numbers count from 1, as the grid writes them.
std::u16string RowNumber(std::size_t index) {
    return FormatInteger(static_cast<long long>(index) + 1);
}

} // namespace

PageRow GradPageColumns() {
    return {Text(StringId::ColNumber), Text(StringId::ColComponent),
            Text(StringId::ColCalibrationK)};
}

PageRow CalcPageColumns() {
    return {Text(StringId::ColNumber), Text(StringId::ColComponent),
            Text(StringId::ColMassConcentration), Text(StringId::ColMassFraction),
            Text(StringId::ColMolarFraction)};
}

PageRows GradPageRows(const CalibrationTable& table) {
    PageRows rows;
    for (const auto& [name, record] : table)
        rows.push_back({RowNumber(rows.size()), name,
                        CalibrationObtained(record) ? FormatFixed(record.k_avg, 4)
                                                    : std::u16string(kNotObtained)});
    return rows;
}

PageRows CalcPageRows(const ContentTable& table) {
    PageRows rows;
    for (const auto& [name, record] : table) {
        if (!ContentObtained(record)) {
            const std::u16string none(kNotObtained);
            rows.push_back({RowNumber(rows.size()), name, none, none, none});
            continue;
        }
        rows.push_back({RowNumber(rows.size()), name,
                        FormatValueWithUncertainty(record.y_avg, record.uncertainty),
                        FormatFixed(record.massFraction, 6), FormatFixed(record.molarFraction, 6)});
    }
    return rows;
}

void PageUpdate::ApplyTo(PageRows& shown) const {
    switch (change) {
    case PageChange::Refill:
        shown = rows;
        break;
    case PageChange::Empty:
        shown.clear();
        break;
    case PageChange::Keep:
        break;
    }
}

} // namespace sepmet
