#include "data/assay_collection.h"

#include "data/assay_queries.h"
#include "resources/strings.h"

#include <algorithm>

namespace sepmet {
namespace {

bool SampleContains(const Assay& assay, int textId) {
    return assay.sample.find(LoadString(textId)) != std::u16string::npos;
}

} // namespace

std::vector<Assay>::iterator AssayCollection::Find(std::int32_t id) {
    return std::find_if(assays_.begin(), assays_.end(), [&](const Assay& a) { return a.id == id; });
}

int AssayCollection::AddAssay(const Assay& row, DataBase::DataBaseHandle& handle) {
    auto found = Find(row.id);
    if (found != assays_.end())
        return static_cast<int>(found - assays_.begin());
    Assay assay = row;
    assay.type.clear();
    assay.isChecked = 0;
    assay.skippedPeaks.clear();
    assay.peaks = ReadPeaks(handle, row.id, &assay.skippedPeaks);
    assays_.push_back(std::move(assay));
    return static_cast<int>(assays_.size() - 1);
}

int AssayCollection::AddLoadedAssay(Assay assay) {
    auto found = Find(assay.id);
    if (found != assays_.end())
        return static_cast<int>(found - assays_.begin());
    assays_.push_back(std::move(assay));
    return static_cast<int>(assays_.size() - 1);
}

bool AssayCollection::RemoveAssay(std::int32_t id) {
    auto found = Find(id);
    if (found == assays_.end())
        return false;
    assays_.erase(found);
    return true;
}

std::size_t AssayCollection::Clear() {
    std::size_t count = assays_.size();
    assays_.clear();
    return count;
}

void AssayCollection::Truncate(std::size_t count) {
    if (count < assays_.size())
        assays_.resize(count);
}

std::vector<std::int32_t> AssayCollection::Ids() const {
    std::vector<std::int32_t> ids;
    ids.reserve(assays_.size());
    for (const Assay& a : assays_)
        ids.push_back(a.id);
    return ids;
}

bool IsCalibrationSolution(const Assay& assay) {
    return SampleContains(assay, StringId::CalibrationMarker);
}

bool IsAbsorptionSolution(const Assay& assay) {
    return SampleContains(assay, StringId::AbsorptionMarker);
}

void UpdateTypeText(Assay& assay) {
    int type = StringId::TypeAnalysis;
    if (assay.iscalibration)
        type = SampleContains(assay, StringId::TypeCheck) ? StringId::TypeCheck : StringId::TabGrad;
    assay.type = LoadString(type);
}

} // namespace sepmet
