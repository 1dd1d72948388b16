#include "calc/calculation_details.h"

#include "calc/content.h"
#include "resources/strings.h"

namespace sepmet {
namespace {

template <typename Table>
const typename Table::mapped_type* MethanolRecord(const Table& table, bool reached) {
    if (!reached)
        return nullptr;
    const auto found = table.find(std::u16string(LoadString(StringId::Methanol)));
    return found != table.end() ? &found->second : nullptr;
}

} // namespace

const CalibrationRecord* CalibrationReached(const CalculationState& state) {
    return MethanolRecord(state.calibrationTable, state.gradPageRefilled);
}

const ContentRecord* ContentReached(const CalculationState& state) {
    return MethanolRecord(state.contentTable, state.calcPageRefilled);
}

std::string_view LevelOutcomeName(LevelOutcome outcome) {
    switch (outcome) {
    case LevelOutcome::Passed:
        return "passed";
    case LevelOutcome::Missing:
        return "missing";
    case LevelOutcome::NotTwoAreas:
        return "notTwoAreas";
    case LevelOutcome::Deviation:
        return "deviation";
    case LevelOutcome::NotTested:
        break;
    }
    return "notTested";
}

std::string_view ContentTestName(ContentTest::Kind kind) {
    return kind == ContentTest::Kind::Repeatability ? "repeatability" : "criticalRange";
}

std::string_view ContentBracketName(double y) {
    switch (ContentBracketOf(y)) {
    case ContentBracket::Lower:
        return "lower";
    case ContentBracket::Upper:
        return "upper";
    case ContentBracket::None:
        break;
    }
    return "none";
}

} // namespace sepmet
