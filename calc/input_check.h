#pragma once
// The input check that opens every recalculation and decides which stages may run.

#include "calc/calculation_state.h"

namespace sepmet {

class AssayCollection;
class MessageLog;

// Set by the last input check; held by whoever runs the recalculations (the main window, the
// batch program), so that a check that ends early leaves the flags it does not reach as they were.
struct ReadinessFlags {
    bool calibrationReady = false;
    bool absorptionReady = false;
    bool conditionsReady = false;
};

// Whether the five conditions can enter the content formula: vW, vG, rhoG and atmP finite and
// above 0, gasT finite and above -273 °C.
bool ConditionsAcceptable(const MeasurementSettings& settings);

// Empties the log, then tests the chromatogram list, the counts of calibration and absorption
// chromatograms (two or three) and the conditions.
void CheckInput(const AssayCollection& assays, const CalculationState& state, MessageLog& log,
                ReadinessFlags& flags);

} // namespace sepmet
