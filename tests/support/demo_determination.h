#pragma once
// The demo determination as the window tests of both systems run it: the demo database in a
// folder of its own, the chromatograms of the determination and of its cases, sepmet-batch's
// output for the same commands, and the pages in the form sepmet-batch prints them.

#include "tests/support/temporary_folder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sepmet::testing {

// The demo analysis database, written by the demo writer; removed with the object.
class DemoDatabase {
public:
    DemoDatabase();
    const std::string& Path() const { return path_; }

private:
    TemporaryFolder folder_;
    std::string path_;
};

// Identifiers first to last.
std::vector<std::int32_t> IdRange(std::int32_t first, std::int32_t last);

// The determination: chromatograms 1 to 12 under these conditions (sepmet-batch's options).
inline std::vector<std::int32_t> DemoDeterminationIds() {
    return IdRange(1, 12);
}
inline constexpr const char* kDemoConditions = "--vW 100 --vG 10 --rhoG 0.7";

// A case of the demo: what the operator adds (one "+" per list), whether "R" follows, and the
// same commands for sepmet-batch.
struct DemoSequence {
    const char* what;
    std::vector<std::vector<std::int32_t>> adds;
    bool reload;
    const char* batchCommands;
};
std::vector<DemoSequence> DemoSequences();

// The standard output of `program` run with `arguments` (quoted for the system's shell as
// needed), read as bytes.
std::string ProgramOutput(const std::string& program, const std::string& arguments);

// Rows of cells as sepmet-batch prints a page's grid: one line per row, cells joined by tabs.
std::string TabbedLines(const std::vector<std::vector<std::u16string>>& rows);

// The three result pages as sepmet-batch prints them: each grid with its title line first, then
// the message lines.
std::string BatchPagesText(const std::string& calibrationGrid, const std::string& calculationGrid,
                           const std::string& messageLines);

} // namespace sepmet::testing
