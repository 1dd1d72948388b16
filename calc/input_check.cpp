#include "calc/input_check.h"

#include "calc/calibration.h"
#include "calc/message_log.h"
#include "data/assay_collection.h"
#include "resources/strings.h"

#include <cmath>

namespace sepmet {
namespace {

bool Positive(double value) {
    return std::isfinite(value) && value > 0;
}

} // namespace

bool ConditionsAcceptable(const MeasurementSettings& s) {
    // At or below -273 °C the reduced gas volume would be infinite or negative; non-finite
    // values would carry NaN or infinity into every result. Both are refused like a volume of 0.
    const bool temperatureAcceptable = std::isfinite(s.gasT) && s.gasT > -273;
    return Positive(s.vW) && Positive(s.vG) && Positive(s.rhoG) && Positive(s.atmP) &&
           temperatureAcceptable;
}

void CheckInput(const AssayCollection& assays, const CalculationState& state, MessageLog& log,
                ReadinessFlags& flags) {
    log.ClearMessages();
    if (assays.Empty()) {
        log.AddError(LoadString(StringId::ErrEmptyList));
        flags.calibrationReady = false;
        flags.absorptionReady = false;
        return;
    }
    flags = {true, true, true};

    int absorption = 0;
    for (const Assay& assay : assays)
        absorption += IsAbsorptionSolution(assay) ? 1 : 0;

    flags.calibrationReady = ApplyCalibrationCountRule(CountCalibrationSolutions(assays), log);

    // Two measurements, or three when the pair exceeded the repeatability limit: the content
    // stage decides from the values whether the third was needed.
    if (absorption < 2)
        log.AddError(LoadString(StringId::ErrTooFewAbsorption));
    else if (absorption > 3)
        log.AddError(LoadString(StringId::ErrTooManyAbsorption));
    flags.absorptionReady = absorption == 2 || absorption == 3;

    if (!ConditionsAcceptable(state.settings)) {
        log.AddError(LoadString(StringId::ErrBadConditions));
        flags.conditionsReady = false;
    }
}

} // namespace sepmet
