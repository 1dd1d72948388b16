#pragma once
// What the "Градуировка" and "Расчет" pages show, as cell texts: the window and the batch program
// fill their tables from these rows, so both show the same lines.

#include "calc/calculation_state.h"

#include <string>
#include <vector>

namespace sepmet {

using PageRow = std::vector<std::u16string>; // cell texts in column order
using PageRows = std::vector<PageRow>;

// Column titles.
PageRow GradPageColumns(); // "№", "Компонент", "К градуировочный"
PageRow CalcPageColumns(); // "№", "Компонент", "Масс. концентр. ,мг/дм3", "Масс. доля , %", ...

// One row per entry: number, component name, k_avg "%.4f", or "—" when the calibration was not
// obtained.
PageRows GradPageRows(const CalibrationTable& table);
// One row per entry: number, component name, "%.6f ± %.6f" of y_avg and uncertainty, then the
// mass and molar fractions "%.6f"; "—" in every value cell when the content was not obtained.
PageRows CalcPageRows(const ContentTable& table);

// What a recalculation does to a page.
enum class PageChange {
    Refill, // cleared, then filled with `rows`
    Empty,  // cleared
    Keep,   // keeps the rows of an earlier recalculation
};

struct PageUpdate {
    PageChange change = PageChange::Keep;
    PageRows rows; // the new rows when the page is refilled

    // Applies the update to the rows a page shows.
    void ApplyTo(PageRows& shown) const;
};

} // namespace sepmet
