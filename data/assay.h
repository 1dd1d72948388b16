#pragma once
// One chromatogram of the host's analysis database (a row of `assay`) and its peaks (rows of
// `peak`), as the calculation, the pages and the report read them.

#include <cstdint>
#include <string>
#include <vector>

namespace sepmet {

struct Peak {
    std::u16string nameid; // read as text; not used further
    std::u16string name;   // component name, e.g. "Метанол"
    double area = 0;
    double time = 0; // retention time, minutes
    double concentration = 0;
    double height = 0;
    std::int32_t channel = 0;
    double front = 0;
    double back = 0;
};

struct Assay {
    std::int32_t id = 0;
    std::int64_t date = 0; // seconds since 1970-01-01 00:00 UTC
    std::u16string filename;
    std::u16string sample;
    std::u16string method;
    std::u16string mixture;
    bool iscalibration = false;
    std::u16string type; // "Анализ", "Градуировка" or "Проверка"; set by UpdateTypeText
    std::int32_t isChecked = 0; // check state of the assay's list row
    std::vector<Peak> peaks;    // in PeakOrder
    // One warning line for each peak left out because a value of it is not a number.
    std::vector<std::u16string> skippedPeaks;
};

} // namespace sepmet
