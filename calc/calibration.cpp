#include "calc/calibration.h"

#include "calc/component_name.h"
#include "calc/message_log.h"
#include "data/assay_collection.h"
#include "platform/number_text.h"
#include "resources/strings.h"

#include <cmath>
#include <numeric>

namespace sepmet {
namespace {

constexpr double kConcentrationTolerance = 0.15;
constexpr std::size_t kLevelsRequired = 5;
constexpr std::size_t kAreasPerLevel = 2;
constexpr double kDeviationLimitPercent = 5;

std::u16string WithConcentration(int textId, double concentration) {
    return FillPlaceholder(LoadString(textId), u"%.2f", FormatFixed(concentration, 2));
}

// The mean coefficient of one concentration, or nothing when either coefficient of the pair
// deviates from it by more than 5 %.
std::optional<double> LevelCoefficient(double concentration, double area1, double area2) {
    const double k1 = concentration / area1;
    const double k2 = concentration / area2;
    const double k = RoundToFourDecimals((k2 + k1) * 0.5);
    const double d1 = std::fabs(k1 - k) / k * 100;
    const double d2 = std::fabs(k2 - k) / k * 100;
    if (d1 <= kDeviationLimitPercent && d2 <= kDeviationLimitPercent)
        return k;
    return std::nullopt;
}

} // namespace

double RoundToFourDecimals(double value) {
    return std::round(value * 10000) / 10000;
}

int CountCalibrationSolutions(const AssayCollection& assays) {
    int count = 0;
    for (const Assay& assay : assays)
        count += IsCalibrationSolution(assay) ? 1 : 0;
    return count;
}

bool ApplyCalibrationCountRule(int count, MessageLog& log) {
    if (count < kCalibrationSolutionsRequired) {
        log.AddError(LoadString(StringId::ErrTooFewCalibration));
        return false;
    }
    if (count > kCalibrationSolutionsRequired) {
        log.AddError(LoadString(StringId::ErrTooManyCalibration));
        return false;
    }
    return true;
}

std::optional<double> NominalConcentration(double concentration) {
    for (double nominal : kNominalConcentrations)
        if (std::fabs(concentration - nominal) / nominal <= kConcentrationTolerance)
            return nominal;
    return std::nullopt;
}

void BuildCalibrationTable(const AssayCollection& assays, CalibrationTable& table) {
    table.clear();
    const std::u16string component(LoadString(StringId::Methanol));
    for (const Assay& assay : assays) {
        if (!IsCalibrationSolution(assay))
            continue;
        for (const Peak& peak : assay.peaks) {
            if (!IsComponentPeak(peak) || !(peak.concentration > 0))
                continue;
            if (auto nominal = NominalConcentration(peak.concentration))
                table[component].levels[*nominal].push_back(peak.area);
        }
    }
}

void CheckCalibration(CalibrationTable& table, MessageLog& log) {
    const std::u16string component(LoadString(StringId::Methanol));
    CalibrationRecord& record = table[component];
    record.levelCoefficients.clear();
    if (record.levels.size() != kLevelsRequired) {
        log.AddError(
            FillPlaceholder(LoadString(StringId::ErrConcentrationCount), u"%s", component));
        record.k_avg = 0;
        return;
    }
    std::size_t passed = 0;
    for (const auto& [concentration, areas] : record.levels) {
        if (areas.size() != kAreasPerLevel) {
            log.AddError(WithConcentration(StringId::ErrTwoChromatograms, concentration));
            continue;
        }
        if (auto k = LevelCoefficient(concentration, areas[0], areas[1])) {
            record.levelCoefficients.push_back(*k);
            ++passed;
        } else {
            log.AddError(WithConcentration(StringId::ErrDeviation, concentration));
        }
    }
    if (passed != kLevelsRequired) {
        record.k_avg = 0;
        return;
    }
    const double sum =
        std::accumulate(record.levelCoefficients.begin(), record.levelCoefficients.end(), 0.0);
    record.k_avg = RoundToFourDecimals(sum / static_cast<double>(record.levelCoefficients.size()));
}

} // namespace sepmet
