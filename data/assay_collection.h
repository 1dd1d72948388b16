#pragma once
// The ordered, duplicate-free chromatograms of one determination.

#include "data/assay.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace DataBase {
class DataBaseHandle;
}

namespace sepmet {

class AssayCollection {
public:
    using const_iterator = std::vector<Assay>::const_iterator;

    // Index of the assay with row.id: the existing one, or a new one appended with the peaks
    // read through `handle`. Raises DataBase::SqlException from reading the peaks; the
    // collection is then unchanged.
    int AddAssay(const Assay& row, DataBase::DataBaseHandle& handle);
    // The same for a record that already holds its peaks in PeakOrder (tests, tools).
    int AddLoadedAssay(Assay assay);
    // Removes the first assay with that id; whether one was removed.
    bool RemoveAssay(std::int32_t id);
    // Removes all assays; how many there were.
    std::size_t Clear();
    // Keeps the first `count` assays (all of them when there are not more).
    void Truncate(std::size_t count);
    std::vector<std::int32_t> Ids() const;

    std::size_t Count() const { return assays_.size(); }
    bool Empty() const { return assays_.empty(); }
    const Assay& operator[](std::size_t i) const { return assays_[i]; }
    Assay& operator[](std::size_t i) { return assays_[i]; }
    const_iterator begin() const { return assays_.begin(); }
    const_iterator end() const { return assays_.end(); }

private:
    std::vector<Assay>::iterator Find(std::int32_t id);

    std::vector<Assay> assays_;
};

// Classification by plain, case-sensitive substring search of the sample text.
bool IsCalibrationSolution(const Assay& assay); // sample contains "град"
bool IsAbsorptionSolution(const Assay& assay);  // sample contains "поглот"
// Recomputes assay.type from iscalibration and "Проверка" in the sample text.
void UpdateTypeText(Assay& assay);

} // namespace sepmet
