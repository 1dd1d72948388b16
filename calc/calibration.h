#pragma once
// Calibration of the chromatograph with the aqueous calibration solutions: the methanol areas
// grouped by nominal concentration, the coefficient of each concentration and their mean k_avg.

#include "calc/calculation_state.h"

#include <array>
#include <optional>

namespace sepmet {

class AssayCollection;
class MessageLog;

// Nominal mass concentrations of the calibration solutions, mg/dm3, in the order they are tried.
inline constexpr std::array<double, 5> kNominalConcentrations{5, 25, 100, 150, 200};
inline constexpr int kCalibrationSolutionsRequired = 10;

// The number of chromatograms whose sample text marks a calibration solution.
int CountCalibrationSolutions(const AssayCollection& assays);

// Logs the error for fewer or more than ten calibration chromatograms; whether the count is
// exactly ten, so that the calibration may run.
bool ApplyCalibrationCountRule(int count, MessageLog& log);

// The first nominal concentration within 15 % of the stored peak concentration, if any.
std::optional<double> NominalConcentration(double concentration);

// Clears the table, then gathers the methanol areas of the calibration solutions by nominal
// concentration, in collection and peak order.
void BuildCalibrationTable(const AssayCollection& assays, CalibrationTable& table);

// Computes and tests the coefficient of each concentration and sets k_avg of "Метанол" (0 when
// any rule fails), logging an error for every rule that fails.
void CheckCalibration(CalibrationTable& table, MessageLog& log);

// Rounds half away from zero to four decimals.
double RoundToFourDecimals(double value);

} // namespace sepmet
