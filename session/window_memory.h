#pragma once
// What the main window remembers between two openings, kept in the host's profile under the
// plug-in's base key: the chromatogram list ("Assay 1", "Assay 2", ...), the window's frame
// ("WindowRect_*") and the five measurement conditions ("vW", "vG", "rhoG", "atmP", "gasT").

#include "calc/measurement_settings.h"
#include "data/assay_queries.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sepmet {

class AssayCollection;
class ProfileAccess;

// One chromatogram of the list as stored: "<id>/<isChecked>".
struct StoredAssay {
    std::int32_t id = 0;
    std::int32_t isChecked = 0;
    bool operator==(const StoredAssay&) const = default;
};

// The reader looks no further than this number, so at most this many entries are written.
inline constexpr int kMaxStoredAssays = 1024;

// "Assay <number>".
std::u16string AssayEntryName(int number);
// "%llu/%d": the identifier widened with its sign to 64 bits and written unsigned, then the mark.
std::u16string FormatAssayEntry(const StoredAssay& assay);
// Decimal conversion: leading white space skipped, optional sign, the digits up to the first other
// character (0 when there are none), taken modulo 2^32. Positive identifiers read as they always
// did, and the unsigned text of a negative one comes back as that identifier.
std::int32_t ParseStoredInteger(std::u16string_view text);
// "left/right" split at the first "/"; nothing for a text without "/" or with nothing before it.
std::optional<StoredAssay> ParseAssayEntry(std::u16string_view text);

// Reads one stored chromatogram into the collection (LoadAssay on the host's database; tests
// may answer themselves).
using StoredAssayLoader = std::function<AssayLoad(AssayCollection&, std::int32_t id)>;

// LoadAssay on one connection to the host's database, opened at the first call and kept by the
// loader; a connection that cannot be opened answers Failed with SQLite's error.
StoredAssayLoader DatabaseAssayLoader();

struct AssayListRestore {
    int restored = 0;             // chromatograms put into the collection
    int notFound = 0;             // entries whose chromatogram the database no longer holds
    bool databaseFailed = false;  // the database could not be opened or read
    std::u16string databaseError; // then SQLite's text of the first failure
};

// Empties `assays` and reads every entry from "Assay 1" to "Assay 1024", passing over missing
// numbers, so that a list with a gap (left by a crash or an earlier version) comes back whole.
// Nothing is deleted here: an entry whose chromatogram the database no longer holds is left out
// of the collection, and the next save rewrites the list without it. When the database fails,
// that chromatogram and every later one are not asked for again in this opening but kept, in
// order, to be written back by each save until a restore succeeds.
AssayListRestore RestoreAssayList(ProfileAccess& profile, AssayCollection& assays,
                                  const StoredAssayLoader& load);

// Writes "Assay 1" ... for every chromatogram of `assays` (its isChecked as the mark), then
// those kept from a failed restore, at most 1024 in all, and deletes the entries numbered after
// the last one written, so that an earlier, longer list does not come back.
void SaveAssayList(ProfileAccess& profile, const AssayCollection& assays);

// The chromatograms kept because the database failed at the last restore, in stored order. They
// are process-wide: each opening of the main window is a new window object.
const std::vector<StoredAssay>& UnrestoredAssays();
void ForgetUnrestoredAssays();

// What the operator is told, once per opening, when the saved chromatograms could not be read.
std::u16string UnrestoredAssaysText(std::u16string_view databaseError);

// The window's frame as the profile keeps it: edges in screen coordinates, right and bottom
// exclusive, so that width = right - left and height = bottom - top.
struct StoredWindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const StoredWindowRect&) const = default;
};

// "WindowRect_tlx", "_tly", "_btx", "_bty"; 0 each when absent.
StoredWindowRect ReadWindowRect(ProfileAccess& profile);
void SaveWindowRect(ProfileAccess& profile, const StoredWindowRect& rect);

// "vW", "vG", "rhoG" (0 when absent), "atmP" (101.325), "gasT" (20).
MeasurementSettings ReadMeasurementSettings(ProfileAccess& profile);
void SaveMeasurementSettings(ProfileAccess& profile, const MeasurementSettings& settings);

} // namespace sepmet
