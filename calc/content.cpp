#include "calc/content.h"

#include "calc/component_name.h"
#include "calc/message_log.h"
#include "data/assay_collection.h"
#include "platform/number_text.h"
#include "resources/strings.h"

#include <algorithm>
#include <cmath>

namespace sepmet {
namespace {

constexpr double kStandardTemperatureK = 293;
constexpr double kCelsiusToKelvin = 273;
constexpr double kStandardPressureKPa = 101.325;
constexpr double kMilliPerUnit = 1000;
constexpr double kMolarVolume = 24.04;       // dm3/mol
constexpr double kMethanolMolarMass = 32.04; // g/mol
constexpr double kCriticalRangeFactor = 3.3;

// The three content brackets share their bounds: [0.01, 0.1] and (0.1, 0.5].
double Bracket(double y, double a0, double a1, double b0, double b1) {
    if (y >= 0.01 && y <= 0.1)
        return a0 - a1 * y;
    if (y > 0.1 && y <= 0.5)
        return b0 - b1 * y;
    return 0;
}

double Mean(const std::vector<double>& values) {
    double sum = 0;
    for (double v : values)
        sum += v;
    return sum / static_cast<double>(values.size());
}

// A test that needs more measurements than there are methanol peaks fails without reading values
// that do not exist.
bool EnoughMeasurements(const ContentRecord& record, std::size_t needed, MessageLog& log) {
    if (record.gasConcentrations.size() >= needed)
        return true;
    log.AddError(FillPlaceholder(LoadString(StringId::ErrTooFewAbsorptionPeaks), u"%d",
                                 FormatInteger(static_cast<long long>(needed))));
    return false;
}

} // namespace

void CollectAbsorptionAreas(const AssayCollection& assays, ContentTable& table) {
    table.clear();
    const std::u16string component(LoadString(StringId::Methanol));
    for (const Assay& assay : assays) {
        if (!IsAbsorptionSolution(assay))
            continue;
        for (const Peak& peak : assay.peaks)
            if (IsComponentPeak(peak))
                table[component].areas.push_back(peak.area);
    }
}

double ReducedGasVolume(const MeasurementSettings& s) {
    return s.atmP * kStandardTemperatureK / ((s.gasT + kCelsiusToKelvin) * kStandardPressureKPa) *
           s.vG * kMilliPerUnit;
}

double RepeatabilityLimit(double y) {
    return Bracket(y, 17, 47, 14, 11);
}
double CriticalRangeDeviation(double y) {
    return Bracket(y, 6.2, 17, 4.9, 3.8);
}
double RelativeUncertainty(double y) {
    return Bracket(y, 25, 71, 20, 15);
}

void CalculateContent(CalculationState& state, MessageLog& log) {
    const std::u16string component(LoadString(StringId::Methanol));
    const double kAvg = state.calibrationTable[component].k_avg;
    const MeasurementSettings& s = state.settings;
    ContentRecord& record = state.contentTable[component];

    record.y_avg = 0;
    record.massFraction = 0;
    record.molarFraction = 0;
    record.uncertainty = 0;
    record.solutionConcentrations.clear();
    for (double area : record.areas)
        record.solutionConcentrations.push_back(kAvg * area);
    record.gasConcentrations.clear();
    for (double x : record.solutionConcentrations)
        record.gasConcentrations.push_back(x * s.vW / ReducedGasVolume(s));

    // Finite but extreme conditions (or coefficients) can still overflow; such a result is
    // refused like unusable conditions instead of being shown as "inf".
    const bool finite =
        std::all_of(record.gasConcentrations.begin(), record.gasConcentrations.end(),
                    [](double y) { return std::isfinite(y); });
    if (!finite) {
        log.AddError(LoadString(StringId::ErrBadConditions));
        return;
    }

    const std::vector<double>& ys = record.gasConcentrations;
    if (!state.threeMeasurementsRequired) {
        // The flag is left as it is when there are fewer than two values to compare.
        if (!EnoughMeasurements(record, 2, log))
            return;
        const double y = Mean(ys);
        record.y_avg = y;
        const double d = std::fabs(ys[0] - ys[1]) * 2 * 100 / (ys[1] + ys[0]);
        if (d > RepeatabilityLimit(y)) {
            log.AddWarning(LoadString(StringId::WarnRepeatability));
            state.threeMeasurementsRequired = true;
            record.y_avg = 0;
            return;
        }
    } else {
        // Checked before the flag is cleared, so that the third measurement is still demanded.
        if (!EnoughMeasurements(record, 3, log))
            return;
        state.threeMeasurementsRequired = false;
        const double y = Mean(ys);
        record.y_avg = y;
        const auto [min, max] = std::minmax_element(ys.begin(), ys.end());
        const double d = std::fabs(*max - *min) * 3 * 100 / (ys[1] + ys[0] + ys[2]);
        if (d > kCriticalRangeFactor * CriticalRangeDeviation(y)) {
            log.AddError(LoadString(StringId::ErrCriticalRange));
            record.y_avg = 0;
            return;
        }
    }

    const double y = record.y_avg;
    record.massFraction = y / (s.rhoG * kMilliPerUnit) * 100;
    record.molarFraction = record.massFraction * s.rhoG * kMolarVolume / kMethanolMolarMass;
    record.uncertainty = y * 0.01 * RelativeUncertainty(y);
}

} // namespace sepmet
