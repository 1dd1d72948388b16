#pragma once
// The results of the methanol calculation that live between recalculations.

#include "calc/measurement_settings.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sepmet {

// How one nominal concentration fared in the last calibration check.
enum class LevelOutcome {
    NotTested,   // the check ended before the levels were tested (a concentration is missing)
    Passed,      // two areas, both coefficients within 5 % of their mean
    Missing,     // no area
    NotTwoAreas, // one area, or more than two
    Deviation,   // a coefficient deviates from the mean by more than 5 %
};

// The figures the check compared for one level. k1, k2, k, d1 and d2 are set only for a level with
// two areas that was tested: k1 = c / S1, k2 = c / S2, k their rounded mean, d1 and d2 their
// deviations from k in %.
struct LevelCheck {
    double concentration = 0;
    LevelOutcome outcome = LevelOutcome::NotTested;
    double k1 = 0, k2 = 0, k = 0, d1 = 0, d2 = 0;
};

struct CalibrationRecord {
    std::map<double, std::vector<double>> levels; // nominal concentration -> areas, ascending
    std::vector<double> levelCoefficients;        // mean coefficient of each passed level
    std::vector<LevelCheck> levelChecks;          // every nominal concentration, ascending
    double k_avg = 0;                             // 0: no valid calibration
};

// Keyed by component name; only "Метанол" is entered. operator[] creates an empty record.
using CalibrationTable = std::map<std::u16string, CalibrationRecord>;

// The chromatogram an absorption area was read from.
struct AreaSource {
    std::size_t listNumber = 0; // position in the chromatogram list, from 1
    std::int32_t id = 0;
    std::u16string fileName;
};

// A test the content stage ran: the figure D (%) against its limit (r, or CR = 3.3 σ, %), the
// latter read for the mean content `limitBasis`.
struct ContentTest {
    enum class Kind { Repeatability, CriticalRange };
    Kind kind = Kind::Repeatability;
    double difference = 0;
    double limit = 0;
    double limitBasis = 0;
    bool passed = false;
};

struct ContentRecord {
    std::vector<double> areas;
    std::vector<AreaSource> sources;            // one per area
    std::vector<double> solutionConcentrations; // mg/dm3 in the absorption solution
    std::vector<double> gasConcentrations;      // mg/dm3 in the gas, one per area
    double y_avg = 0;                           // mean mass concentration in the gas, mg/dm3
    double massFraction = 0;                    // %
    double molarFraction = 0;                   // %
    double uncertainty = 0;                     // absolute, mg/dm3
    double relativeUncertainty = 0;             // δ, %; set with the results
    double reducedVolume = 0;                   // dm3; 0 when the conditions give none
    std::vector<ContentTest> tests;             // in the order they ran
};

using ContentTable = std::map<std::u16string, ContentRecord>;

// Everything the calculation keeps between recalculations. The plug-in holds one for the whole
// time it is loaded (ProcessCalculationState); tests and tools may hold their own.
struct CalculationState {
    MeasurementSettings settings;
    CalibrationTable calibrationTable;
    ContentTable contentTable;
    // Whether the last recalculation's content stage found the first two gas concentrations
    // beyond the repeatability limit. An output of each recalculation, never an input.
    bool threeMeasurementsRequired = false;
    // Whether the last recalculation refilled the "Градуировка" and the "Расчет" page. The tables
    // keep earlier results when a page is emptied or kept; the report shows a table only when
    // its page was refilled, so that it never prints a result that no longer applies.
    bool gradPageRefilled = false;
    bool calcPageRefilled = false;
};

CalculationState& ProcessCalculationState();

// Whether a record holds a result. A coefficient or a content of 0 is never measured (every
// factor is positive): it marks a rule the data broke, and is shown and reported as not obtained.
inline bool CalibrationObtained(const CalibrationRecord& record) {
    return record.k_avg != 0;
}
inline bool ContentObtained(const ContentRecord& record) {
    return record.y_avg != 0;
}

} // namespace sepmet
