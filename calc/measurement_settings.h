#pragma once

namespace sepmet {

// The five measurement conditions the operator types for a determination.
struct MeasurementSettings {
    double vW = 0;         // total water volume in the two absorption vessels, cm3
    double vG = 0;         // gas sample volume measured by the gas meter, dm3
    double rhoG = 0;       // density of the separation gas, g/dm3
    double atmP = 101.325; // atmospheric pressure, kPa
    double gasT = 20;      // gas temperature in the gas meter, °C
};

} // namespace sepmet
