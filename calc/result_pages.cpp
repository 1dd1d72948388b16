#include "calc/result_pages.h"

#include "platform/number_text.h"
#include "resources/strings.h"

namespace sepmet {
namespace {

std::u16string Text(int id) {
    return std::u16string(LoadString(id));
}

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
        rows.push_back({RowNumber(rows.size()), name, FormatFixed(record.k_avg, 4)});
    return rows;
}

PageRows CalcPageRows(const ContentTable& table) {
    PageRows rows;
    for (const auto& [name, record] : table)
        rows.push_back({RowNumber(rows.size()), name,
                        FormatValueWithUncertainty(record.y_avg, record.uncertainty),
                        FormatFixed(record.massFraction, 6), FormatFixed(record.molarFraction, 6)});
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
