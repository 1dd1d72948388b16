#include "calc/content.h"

#include "calc/component_name.h"
#include "calc/message_log.h"
#include "data/assay_collection.h"
#include "platform/number_text.h"
#include "resources/strings.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

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
    switch (ContentBracketOf(y)) {
    case ContentBracket::Lower:
        return a0 - a1 * y;
    case ContentBracket::Upper:
        return b0 - b1 * y;
    case ContentBracket::None:
        break;
    }
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

bool AllFinite(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}
bool AllFinite(const std::vector<double>& values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

} // namespace

void CollectAbsorptionAreas(const AssayCollection& assays, ContentTable& table) {
    table.clear();
    const std::u16string component(LoadString(StringId::Methanol));
    std::size_t listNumber = 0;
    for (const Assay& assay : assays) {
        ++listNumber;
        if (!IsAbsorptionSolution(assay))
            continue;
        for (const Peak& peak : assay.peaks)
            if (IsComponentPeak(peak)) {
                ContentRecord& record = table[component];
                record.areas.push_back(peak.area);
                record.sources.push_back({listNumber, assay.id, assay.filename});
            }
    }
}

ContentBracket ContentBracketOf(double y) {
    if (y >= 0.01 && y <= 0.1)
        return ContentBracket::Lower;
    if (y > 0.1 && y <= 0.5)
        return ContentBracket::Upper;
    return ContentBracket::None;
}

double ReducedGasVolume(const MeasurementSettings& s) {
    return s.atmP * kStandardTemperatureK / ((s.gasT + kCelsiusToKelvin) * kStandardPressureKPa) *
           s.vG;
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

void CalculateContent(CalculationState& state, int absorptionChromatograms, MessageLog& log) {
    const std::u16string component(LoadString(StringId::Methanol));
    const double kAvg = state.calibrationTable[component].k_avg;
    const MeasurementSettings& s = state.settings;
    ContentRecord& record = state.contentTable[component];

    state.threeMeasurementsRequired = false;
    record.y_avg = 0;
    record.massFraction = 0;
    record.molarFraction = 0;
    record.uncertainty = 0;
    record.relativeUncertainty = 0;
    record.tests.clear();
    record.solutionConcentrations.clear();
    for (double area : record.areas)
        record.solutionConcentrations.push_back(kAvg * area);
    record.gasConcentrations.clear();
    const double reduced = ReducedGasVolume(s);
    const double volume = reduced * kMilliPerUnit;
    const bool volumeUsable = std::isfinite(volume) && volume > 0;
    record.reducedVolume = volumeUsable ? reduced : 0;
    if (volumeUsable)
        for (double x : record.solutionConcentrations)
            record.gasConcentrations.push_back(x * s.vW / volume);

    // Conditions that each pass the input check can still overflow or underflow together (a huge
    // gas volume, a density near 0). Every number below is therefore evaluated before any test,
    // and one that is not finite refuses the calculation like unusable conditions: all results 0,
    // no third measurement demanded, nothing shown as "inf" or as a row of zeros without a reason.
    const auto refuse = [&] { log.AddError(LoadString(StringId::ErrBadConditions)); };
    if (!volumeUsable || !AllFinite(record.solutionConcentrations) ||
        !AllFinite(record.gasConcentrations)) {
        refuse();
        return;
    }

    // Two chromatograms: the repeatability of the pair decides. Three: a pair within the
    // repeatability limit did not need the third; a pair beyond it is judged by the critical range
    // of all values.
    const bool three = absorptionChromatograms == 3;
    if (!EnoughMeasurements(record, three ? 3 : 2, log))
        return;
    const std::vector<double>& ys = record.gasConcentrations;
    const double y = Mean(ys);
    const double pairSum = ys[1] + ys[0];
    const double pairMean = pairSum / 2;
    ContentTest repeatability;
    repeatability.difference = std::fabs(ys[0] - ys[1]) * 2 * 100 / pairSum;
    repeatability.limitBasis = three ? pairMean : y;
    repeatability.limit = RepeatabilityLimit(repeatability.limitBasis);
    repeatability.passed = repeatability.difference <= repeatability.limit;
    ContentTest criticalRange;
    criticalRange.kind = ContentTest::Kind::CriticalRange;
    if (three) {
        const auto [min, max] = std::minmax_element(ys.begin(), ys.end());
        criticalRange.difference = std::fabs(*max - *min) * 3 * 100 / (ys[1] + ys[0] + ys[2]);
        criticalRange.limitBasis = y;
        criticalRange.limit = kCriticalRangeFactor * CriticalRangeDeviation(y);
        criticalRange.passed = criticalRange.difference <= criticalRange.limit;
    }
    const double density = s.rhoG * kMilliPerUnit; // mg/dm3
    const double massFraction = y / density * 100;
    const double molarFraction = massFraction * s.rhoG * kMolarVolume / kMethanolMolarMass;
    const double delta = RelativeUncertainty(y);
    const double uncertainty = y * 0.01 * delta;
    if (!AllFinite({y, pairSum, pairMean, repeatability.difference, criticalRange.difference,
                    density, massFraction, molarFraction, uncertainty})) {
        refuse();
        return;
    }

    record.tests.push_back(repeatability);
    if (!three) {
        if (!repeatability.passed) {
            log.AddWarning(LoadString(StringId::WarnRepeatability));
            state.threeMeasurementsRequired = true;
            return;
        }
    } else {
        if (repeatability.passed) {
            log.AddError(LoadString(StringId::ErrTooManyAbsorption));
            return;
        }
        state.threeMeasurementsRequired = true;
        record.tests.push_back(criticalRange);
        if (!criticalRange.passed) {
            log.AddError(LoadString(StringId::ErrCriticalRange));
            return;
        }
    }

    record.y_avg = y;
    record.massFraction = massFraction;
    record.molarFraction = molarFraction;
    record.relativeUncertainty = delta;
    record.uncertainty = uncertainty;
}

} // namespace sepmet
