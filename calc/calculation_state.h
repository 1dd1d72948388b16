#pragma once
// The results of the methanol calculation that live between recalculations.

#include "calc/measurement_settings.h"

#include <map>
#include <string>
#include <vector>

namespace sepmet {

struct CalibrationRecord {
    std::map<double, std::vector<double>> levels; // nominal concentration -> areas, ascending
    std::vector<double> levelCoefficients;        // mean coefficient of each passed level
    double k_avg = 0;                             // 0: no valid calibration
};

// Keyed by component name; only "Метанол" is entered. operator[] creates an empty record.
using CalibrationTable = std::map<std::u16string, CalibrationRecord>;

struct ContentRecord {
    std::vector<double> areas;
    std::vector<double> solutionConcentrations; // mg/dm3 in the absorption solution
    std::vector<double> gasConcentrations;      // mg/dm3 in the gas, one per area
    double y_avg = 0;                           // mean mass concentration in the gas, mg/dm3
    double massFraction = 0;                    // %
    double molarFraction = 0;                   // %
    double uncertainty = 0;                     // absolute, mg/dm3
};

using ContentTable = std::map<std::u16string, ContentRecord>;

// Everything the calculation keeps between recalculations. The plug-in holds one for the whole
// time it is loaded (ProcessCalculationState); tests and tools may hold their own.
struct CalculationState {
    MeasurementSettings settings;
    CalibrationTable calibrationTable;
    ContentTable contentTable;
    bool threeMeasurementsRequired = false;
    // Whether the last recalculation refilled the "Градуировка" and the "Расчет" page. The tables
    // keep earlier results when a page is emptied or kept; the report shows a table only when
    // its page was refilled, so that it never prints a result that no longer applies.
    bool gradPageRefilled = false;
    bool calcPageRefilled = false;
};

CalculationState& ProcessCalculationState();

} // namespace sepmet
