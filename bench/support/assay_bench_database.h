#pragma once
// The laboratory-sized analysis database of the "+" benchmarks (Linux and Windows alike): the
// host's tables with kAssays chromatograms of kPeaksPerAssay peaks each, plus one of kManyPeaks
// peaks, in a file of the temporary folder; the plug-in's connection points at it. And the
// baseline those benchmarks are measured against: the same rows read on a bare connection.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sepmet::bench {

class AssayBenchDatabase {
public:
    static constexpr int kAssays = 100000;
    static constexpr int kPeaksPerAssay = 8;
    static constexpr int kPicked = 256; // what the picker delivers at most
    static constexpr int kManyPeaksId = kAssays + 1;
    static constexpr int kManyPeaks = 500;

    // Writes the database (a few seconds) and sets the analysis connection to it.
    AssayBenchDatabase();
    ~AssayBenchDatabase();
    AssayBenchDatabase(const AssayBenchDatabase&) = delete;
    AssayBenchDatabase& operator=(const AssayBenchDatabase&) = delete;

    const std::string& Path() const { return path_; }
    // kPicked identifiers drawn from 1..kAssays with a fixed seed, as a picker answers them.
    const std::vector<std::int32_t>& PickedIds() const { return ids_; }

private:
    std::string path_;
    std::vector<std::int32_t> ids_;
};

// What "+" reads for `ids`, on a bare connection to `path` in one read transaction: per
// identifier the data layer's two statements (the assay row, then its peaks by time), prepared
// afresh and read column by column as UTF-16 text and numbers. Answers a sum of what was read,
// so that nothing is left out.
std::size_t ReadAssaysBare(const std::string& path, const std::vector<std::int32_t>& ids);

} // namespace sepmet::bench
