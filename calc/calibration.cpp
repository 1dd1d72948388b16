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

// The coefficients of one concentration and their deviations from the mean coefficient; the
// level passes when both deviate by at most 5 %.
LevelCheck CheckLevel(double concentration, double area1, double area2) {
    LevelCheck check;
    check.concentration = concentration;
    check.k1 = concentration / area1;
    check.k2 = concentration / area2;
    check.k = RoundToFourDecimals((check.k2 + check.k1) * 0.5);
    check.d1 = std::fabs(check.k1 - check.k) / check.k * 100;
    check.d2 = std::fabs(check.k2 - check.k) / check.k * 100;
    check.outcome = check.d1 <= kDeviationLimitPercent && check.d2 <= kDeviationLimitPercent
                        ? LevelOutcome::Passed
                        : LevelOutcome::Deviation;
    return check;
}

// Every nominal concentration, ascending, as missing or not yet tested.
std::vector<LevelCheck> UntestedLevels(const CalibrationRecord& record) {
    std::vector<LevelCheck> checks;
    for (double nominal : kNominalConcentrations) {
        LevelCheck check;
        check.concentration = nominal;
        check.outcome =
            record.levels.count(nominal) ? LevelOutcome::NotTested : LevelOutcome::Missing;
        checks.push_back(check);
    }
    return checks;
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
    record.levelChecks = UntestedLevels(record);
    if (record.levels.size() != kLevelsRequired) {
        log.AddError(
            FillPlaceholder(LoadString(StringId::ErrConcentrationCount), u"%s", component));
        record.k_avg = 0;
        return;
    }
    std::size_t passed = 0;
    for (LevelCheck& check : record.levelChecks) {
        const std::vector<double>& areas = record.levels.at(check.concentration);
        if (areas.size() != kAreasPerLevel) {
            check.outcome = LevelOutcome::NotTwoAreas;
            log.AddError(WithConcentration(StringId::ErrTwoChromatograms, check.concentration));
            continue;
        }
        check = CheckLevel(check.concentration, areas[0], areas[1]);
        if (check.outcome == LevelOutcome::Passed) {
            record.levelCoefficients.push_back(check.k);
            ++passed;
        } else {
            log.AddError(WithConcentration(StringId::ErrDeviation, check.concentration));
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
