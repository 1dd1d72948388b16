#pragma once
// Calibration and methanol results with digits that show every number form of the report.

#include "calc/calculation_state.h"

namespace sepmet::testing {

inline void SetSampleResults(CalculationState& state, double molarFraction = 0.0012) {
    state.calibrationTable[u"Метанол"].k_avg = 0.049512;
    ContentRecord& content = state.contentTable[u"Метанол"];
    content.y_avg = 0.0505;
    content.uncertainty = 0.0108143;
    content.massFraction = 7.2142857;
    content.molarFraction = molarFraction;
    state.gradPageRefilled = true; // as a recalculation that filled both pages leaves them
    state.calcPageRefilled = true;
}

} // namespace sepmet::testing
