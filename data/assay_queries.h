#pragma once
// The three statements that read chromatograms from the host's tables.

#include "data/assay.h"
#include "data/connection.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace sepmet {

class AssayCollection;

// What LoadAssay found. A failed read (the database locked, corrupt or without the host's tables)
// is told apart from an assay that is not there, so that callers never take a database they
// cannot use for an empty one.
struct AssayLoad {
    enum class Status { Loaded, NotFound, Failed };

    Status status = Status::NotFound;
    int index = -1; // the assay's position in the collection when Loaded
    std::optional<DataBase::SqlException> failure; // SQLite's error when Failed

    bool Loaded() const { return status == Status::Loaded; }
    bool Failed() const { return status == Status::Failed; }
};

// Reads the assay row and adds it to the collection (with its peaks, when new); an assay already
// present is found, not added again. When the read fails the collection is unchanged. Never
// raises.
AssayLoad LoadAssay(AssayCollection& collection, DataBase::DataBaseHandle& handle, std::int32_t id);

// The reload command: every assay read afresh in the same order on one handle. Assays that are no
// longer in the database drop out; every check mark is cleared. The collection is replaced only
// when every read ran: on a failed read it is left as it was and the SqlException is raised.
void ReloadAssays(AssayCollection& collection, DataBase::DataBaseHandle& handle);

// The peaks of one assay in PeakOrder. A peak with a value that is not a number (a blob, a text
// that is not exactly a number) is left out, with a warning line in `skipped` naming the
// chromatogram, the peak and the column. Raises DataBase::SqlException.
std::vector<Peak> ReadPeaks(DataBase::DataBaseHandle& handle, std::int32_t id,
                            std::vector<std::u16string>* skipped = nullptr);

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
