#pragma once
// Chromatograms of a determination built in code for the calculation tests.

#include "calc/measurement_settings.h"
#include "data/assay_collection.h"

#include <initializer_list>
#include <string>

namespace sepmet::test {

inline Peak MakePeak(double area, double concentration = 0, std::u16string name = u"Метанол") {
    Peak p;
    p.name = std::move(name);
    p.area = area;
    p.concentration = concentration;
    p.channel = 1;
    return p;
}

inline Assay MakeAssay(std::int32_t id, std::u16string sample, std::vector<Peak> peaks) {
    Assay a;
    a.id = id;
    a.sample = std::move(sample);
    a.peaks = std::move(peaks);
    return a;
}

// One calibration chromatogram per area, its methanol peak stored with the level concentration.
struct CalibrationLevel {
    double concentration;
    std::vector<double> areas;
};

inline void AddCalibration(AssayCollection& assays, const std::vector<CalibrationLevel>& levels) {
    std::int32_t id = 100;
    for (const CalibrationLevel& level : levels)
        for (double area : level.areas)
            assays.AddLoadedAssay(
                MakeAssay(id++, u"р-р град", {MakePeak(area, level.concentration)}));
}

// Ten calibration chromatograms, two per concentration, all with the coefficient `k`.
inline std::vector<CalibrationLevel> UniformCalibration(double k) {
    std::vector<CalibrationLevel> levels;
    for (double c : {5.0, 25.0, 100.0, 150.0, 200.0})
        levels.push_back({c, {c / k, c / k}});
    return levels;
}

// One absorption chromatogram with one methanol peak per area.
inline void AddAbsorption(AssayCollection& assays, std::initializer_list<double> areas,
                          std::int32_t firstId = 200) {
    for (double area : areas)
        assays.AddLoadedAssay(MakeAssay(firstId++, u"р-р поглот", {MakePeak(area)}));
}

inline AssayCollection Determination(std::initializer_list<double> absorptionAreas,
                                     double k = 0.05) {
    AssayCollection assays;
    AddCalibration(assays, UniformCalibration(k));
    AddAbsorption(assays, absorptionAreas);
    return assays;
}

// The conditions of the worked example: vW 100, vG 10, rhoG 0.7, atmP 101.325, gasT 20.
inline MeasurementSettings WorkedConditions() {
    MeasurementSettings s;
    s.vW = 100;
    s.vG = 10;
    s.rhoG = 0.7;
    return s;
}

} // namespace sepmet::test
