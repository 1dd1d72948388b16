#pragma once
// The four result pages of the main window: child dialogs inside its tab control, each holding
// one control. They show rows the session computed; they compute nothing.

#include "calc/result_pages.h"
#include "ui/win32/dialog.h"
#include "ui/win32/grid_ctrl.h"

#include <string>
#include <vector>

namespace sepmet::win32 {

struct GridColumn {
    int titleId; // string resource
    int format;  // LVCFMT_LEFT, LVCFMT_CENTER
    int width;   // pixels at 96 dots per inch
};

// "Инф. с хром." (ComponentsTab), "Градуировка" (GradTab), "Расчет" (CalcTab): a grid that keeps
// its template margins inside the page.
class GridTab final : public Dialog {
public:
    GridTab(const DialogTemplate& dialog, int gridId, std::vector<GridColumn> columns);

    // Clears the grid, then one row per entry.
    void Show(const PageRows& rows);
    // What a recalculation does to the page (refill, empty, keep).
    void Apply(const PageUpdate& update);
    CGridCtrl& grid() { return grid_; }

protected:
    bool OnInitDialog() override;

private:
    int gridId_;
    std::vector<GridColumn> columns_;
    CGridCtrl grid_;
    PageRows shown_;
};

GridTab* NewComponentsTab(); // template 1011, grid 1009: the peaks of the clicked chromatogram
GridTab* NewGradTab();       // template 1017, grid 1015: the calibration coefficient
GridTab* NewCalcTab();       // template 1024, grid 1015: the methanol content

// "Сист. сообщения": the lines of the message log in a list box (1014).
class MessageTab final : public Dialog {
public:
    MessageTab();
    void ShowLines(const std::vector<std::u16string>& lines);

protected:
    bool OnInitDialog() override;
};

} // namespace sepmet::win32
