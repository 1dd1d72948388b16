#pragma once
// The methanol content of the separation gas from the absorption solutions: mass concentration
// with its uncertainty, mass and molar fraction, with the repeatability and critical-range tests.

#include "calc/calculation_state.h"

namespace sepmet {

class AssayCollection;
class MessageLog;

// Clears the table, then gathers the methanol areas of the absorption solutions in collection and
// peak order.
void CollectAbsorptionAreas(const AssayCollection& assays, ContentTable& table);

// The gas volume reduced to 20 °C and 101.325 kPa, dm3.
double ReducedGasVolume(const MeasurementSettings& settings);

// Repeatability limit r, critical-range deviation σ and relative uncertainty δ (all %) for a
// mean content y; 0 outside 0.01 to 0.5 mg/dm3.
double RepeatabilityLimit(double y);
double CriticalRangeDeviation(double y);
double RelativeUncertainty(double y);

// Computes the record of "Метанол" from its areas, k_avg and the conditions, tests the two (or,
// while a third measurement is demanded, three) measurements and logs what fails.
void CalculateContent(CalculationState& state, MessageLog& log);

} // namespace sepmet
