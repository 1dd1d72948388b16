#include "calc/recalculation.h"

#include "calc/calibration.h"
#include "calc/content.h"
#include "calc/message_log.h"
#include "data/assay_collection.h"
#include "resources/strings.h"

namespace sepmet {

RecalculationOutcome Recalculate(const AssayCollection& assays, CalculationState& state,
                                 MessageLog& log, ReadinessFlags& flags) {
    RecalculationOutcome outcome;

    int absorption = 0;
    for (const Assay& assay : assays)
        absorption += IsAbsorptionSolution(assay) ? 1 : 0;
    // Set again by this recalculation's content stage when it runs.
    state.threeMeasurementsRequired = false;

    CheckInput(assays, state, log, flags);
    for (const Assay& assay : assays) // peaks left out: a value was not a number
        for (const std::u16string& line : assay.skippedPeaks)
            log.AddWarning(line);

    if (flags.calibrationReady) {
        BuildCalibrationTable(assays, state.calibrationTable);
        CollectAbsorptionAreas(assays, state.contentTable);
        CheckCalibration(state.calibrationTable, log);
        outcome.gradPage = {PageChange::Refill, GradPageRows(state.calibrationTable)};

        const std::u16string component(LoadString(StringId::Methanol));
        if (state.calibrationTable[component].k_avg != 0 && flags.conditionsReady) {
            if (flags.absorptionReady) {
                CalculateContent(state, absorption, log);
                outcome.calcPage = {PageChange::Refill, CalcPageRows(state.contentTable)};
            } else {
                outcome.calcPage = {PageChange::Empty, {}};
            }
        }
    } else {
        outcome.gradPage = {PageChange::Empty, {}};
        outcome.calcPage = {PageChange::Empty, {}};
        log.AddWarning(LoadString(StringId::WarnNoCalibration));
    }

    state.gradPageRefilled = outcome.gradPage.change == PageChange::Refill;
    state.calcPageRefilled = outcome.calcPage.change == PageChange::Refill;
    outcome.messages = log.Layout();
    return outcome;
}

} // namespace sepmet
