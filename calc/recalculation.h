#pragma once
// The recalculation that ends every change of the chromatogram list and every confirmed change
// of the measurement conditions, independent of any window.

#include "calc/calculation_state.h"
#include "calc/input_check.h"
#include "calc/result_pages.h"

#include <string>
#include <vector>

namespace sepmet {

class AssayCollection;
class MessageLog;

struct RecalculationOutcome {
    PageUpdate gradPage;                  // "Градуировка"
    PageUpdate calcPage;                  // "Расчет"
    std::vector<std::u16string> messages; // the lines of the "Сист. сообщения" page
};

// Runs the input check, the calibration and the content calculation on `state`, fills `log`
// and says what each result page shows afterwards. `flags` are the caller's readiness flags.
RecalculationOutcome Recalculate(const AssayCollection& assays, CalculationState& state,
                                 MessageLog& log, ReadinessFlags& flags);

} // namespace sepmet
