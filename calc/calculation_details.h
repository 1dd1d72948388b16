#pragma once
// The intermediate values of the last recalculation, as the report and the batch output give them
// to a reviewer: the stages it reached and the names of outcomes and tests.

#include "calc/calculation_state.h"

#include <string_view>

namespace sepmet {

// The record of "Метанол" of a stage the last recalculation ran, or nullptr: the calibration ran
// when it refilled the "Градуировка" page, the content stage when it refilled the "Расчет" page.
// Records of earlier recalculations are never handed out.
const CalibrationRecord* CalibrationReached(const CalculationState& state);
const ContentRecord* ContentReached(const CalculationState& state);

// "notTested", "passed", "missing", "notTwoAreas", "deviation".
std::string_view LevelOutcomeName(LevelOutcome outcome);
// "repeatability", "criticalRange".
std::string_view ContentTestName(ContentTest::Kind kind);
// "lower" (0.01 to 0.1 mg/dm3), "upper" (above 0.1 to 0.5), "none".
std::string_view ContentBracketName(double y);

} // namespace sepmet
