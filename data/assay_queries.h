#pragma once
// The three statements that read chromatograms from the host's tables.

#include "data/assay.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace DataBase {
class DataBaseHandle;
}

namespace sepmet {

class AssayCollection;

// Reads the assay row and adds it to the collection (with its peaks, when new). The index of the
// assay in the collection, or -1 when no row was found or SQLite failed; never raises.
int LoadAssay(AssayCollection& collection, DataBase::DataBaseHandle& handle, std::int32_t id);

// The reload command: every assay read afresh in the same order on one handle. Assays that can no
// longer be read drop out; every check mark is cleared.
void ReloadAssays(AssayCollection& collection, DataBase::DataBaseHandle& handle);

// The peaks of one assay in PeakOrder. Raises DataBase::SqlException.
std::vector<Peak> ReadPeaks(DataBase::DataBaseHandle& handle, std::int32_t id);

// Calls `action` with the filename of every assay row with that id (a NULL filename gives the
// empty text). Raises DataBase::SqlException.
void QueryAssayFileName(DataBase::DataBaseHandle& handle, std::int32_t id,
                        const std::function<void(const std::u16string&)>& action);

// Compiles the three statements without running them, so that a database without the host's
// tables and columns is recognised before any command. Raises DataBase::SqlException.
void CheckAssayStatements(DataBase::DataBaseHandle& handle);

// Ascending channel, then ascending time within a channel.
void SortPeaks(std::vector<Peak>& peaks);

} // namespace sepmet
