#pragma once
// Small analysis databases built in code, with the host's `assay` and `peak` tables, for tests
// that read chromatograms through the real statements. Each lives in its own temporary file,
// removed with the object.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sepmet::test {

struct FixturePeak {
    std::u16string name;
    double area = 0;
    double time = 0;
    double concentration = 0;
    std::int32_t channel = 1;
};

struct FixtureAssay {
    FixtureAssay(std::int32_t id, std::u16string sample = {}, bool iscalibration = false,
                 std::vector<FixturePeak> peaks = {})
        : id(id), sample(std::move(sample)), iscalibration(iscalibration), peaks(std::move(peaks)) {
    }

    std::int32_t id = 0;
    std::u16string sample;
    bool iscalibration = false;
    std::vector<FixturePeak> peaks;
    std::int64_t date = 0;
    std::u16string filename;
    std::u16string mixture;
    std::u16string method;
};

class FixtureDatabase {
public:
    // A new database file with the host schema and no rows.
    FixtureDatabase();
    ~FixtureDatabase();
    FixtureDatabase(const FixtureDatabase&) = delete;
    FixtureDatabase& operator=(const FixtureDatabase&) = delete;

    const std::string& Path() const { return path_; }

    // Inserts the assay row and its peak rows.
    FixtureDatabase& Add(const FixtureAssay& assay);
    // Runs SQL text as it is (NULL columns, odd stored types, dropped tables); fails the test on
    // error.
    void Execute(const std::string& sql);
    // Makes this file the host's database location for DataBaseHandle::Open.
    void MakeCurrent() const;

private:
    std::string path_;
};

} // namespace sepmet::test
