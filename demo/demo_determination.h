#pragma once
// The chromatograms of the demo analysis database.

#include <cstdint>
#include <string>
#include <vector>

namespace sepmet::demo {

struct DemoPeak {
    std::string name; // UTF-8; empty for an unidentified peak
    double time;      // minutes
    double area;
    double concentration;
    int channel;
};

struct DemoAssay {
    std::int32_t id;
    std::int64_t date; // seconds since 1970-01-01 00:00 UTC
    std::string filename;
    std::string sample;
    std::string mixture;
    std::string method;
    bool iscalibration;
    std::vector<DemoPeak> peaks;
};

// Identifiers 1 to 12 form the determination: ten calibration chromatograms (5, 25, 100, 150,
// 200 mg/dm3, two each) and two absorption solutions. 13 is a third absorption solution, 14 a
// "Проверка" calibration, 15 an absorption solution without a methanol peak, 16 and 17 a pair
// of absorption solutions beyond the repeatability limit, 18 their third measurement, within the
// critical range (13 as their third breaks it).
std::vector<DemoAssay> DemoAssays();

} // namespace sepmet::demo
