#pragma once
// The methanol content of the separation gas from the absorption solutions: mass concentration
// with its uncertainty, mass and molar fraction, with the repeatability and critical-range tests.

#include "calc/calculation_state.h"

namespace sepmet {

class AssayCollection;
class MessageLog;

// Clears the table, then gathers the methanol areas of the absorption solutions in collection and
// peak order, each with the chromatogram it came from.
void CollectAbsorptionAreas(const AssayCollection& assays, ContentTable& table);

// The gas volume reduced to 20 °C and 101.325 kPa, dm3.
double ReducedGasVolume(const MeasurementSettings& settings);

// The content bracket a mean content y falls in; it chooses the formulas of r, σ and δ.
enum class ContentBracket {
    None,  // outside 0.01 to 0.5 mg/dm3: r, σ and δ are 0
    Lower, // 0.01 <= y <= 0.1
    Upper, // 0.1 < y <= 0.5
};
ContentBracket ContentBracketOf(double y);

// Repeatability limit r, critical-range deviation σ and relative uncertainty δ (all %) for a
// mean content y; 0 outside 0.01 to 0.5 mg/dm3.
double RepeatabilityLimit(double y);
double CriticalRangeDeviation(double y);
double RelativeUncertainty(double y);

// Computes the record of "Метанол" from its areas, k_avg and the conditions, runs the tests the
// number of absorption chromatograms (2 or 3) calls for, logs what fails and sets
// threeMeasurementsRequired when the first two values exceed the repeatability limit. With 3
// chromatograms the repeatability limit is read for the mean of the first two values; a pair
// within it gives error 1022 (the third was not needed), a pair beyond it the critical-range test
// of all values.
void CalculateContent(CalculationState& state, int absorptionChromatograms, MessageLog& log);

} // namespace sepmet
