#include "ui/win32/result_tabs.h"

#include "resources/strings.h"
#include "ui/win32/icons.h"
#include "ui/win32/win32_text.h"

namespace sepmet::win32 {

GridTab::GridTab(const DialogTemplate& dialog, int gridId, std::vector<GridColumn> columns)
    : Dialog(dialog, DialogFrame::ChildPage), gridId_(gridId), columns_(std::move(columns)) {}

bool GridTab::OnInitDialog() {
    grid_.Attach(Item(gridId_));
    ListView_SetExtendedListViewStyle(grid_.hwnd(), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    ShowScrollBar(grid_.hwnd(), SB_HORZ, TRUE);
    SetScrollPos(grid_.hwnd(), SB_HORZ, 0, TRUE);
    // Widths are given for 96 dots per inch and grow with the resolution, as the text does.
    for (std::size_t i = 0; i < columns_.size(); ++i)
        grid_.AddColumn(static_cast<int>(i), columns_[i].titleId, columns_[i].format,
                        ScaleForWindow(hwnd(), columns_[i].width));
    // The grid keeps its top-left corner and follows the page's size.
    AddLayout(gridId_, 0, 0, 100, 100);
    return false;
}

void GridTab::Show(const PageRows& rows) {
    shown_ = rows;
    SendMessageW(grid_.hwnd(), WM_SETREDRAW, FALSE, 0);
    grid_.ClearRows();
    for (const PageRow& cells : rows) {
        const int row = grid_.AppendRow();
        for (std::size_t column = 0; column < cells.size(); ++column)
            grid_.SetText(row, static_cast<int>(column), cells[column]);
    }
    SendMessageW(grid_.hwnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(grid_.hwnd(), nullptr, TRUE);
}

void GridTab::Apply(const PageUpdate& update) {
    if (update.change == PageChange::Keep)
        return;
    PageRows rows = shown_;
    update.ApplyTo(rows);
    Show(rows);
}

GridTab* NewComponentsTab() {
    return new GridTab(ComponentsPageTemplate(), 1009,
                       {{StringId::ColNumber, LVCFMT_LEFT, 45},
                        {StringId::ColComponent, LVCFMT_LEFT, 160},
                        {StringId::ColPeakArea, LVCFMT_LEFT, 125},
                        {StringId::ColRetentionTime, LVCFMT_LEFT, 125}});
}

GridTab* NewGradTab() {
    return new GridTab(GradPageTemplate(), 1015,
                       {{StringId::ColNumber, LVCFMT_LEFT, 25},
                        {StringId::ColComponent, LVCFMT_LEFT, 110},
                        {StringId::ColCalibrationK, LVCFMT_CENTER, 120}});
}

GridTab* NewCalcTab() {
    return new GridTab(CalcPageTemplate(), 1015,
                       {{StringId::ColNumber, LVCFMT_LEFT, 25},
                        {StringId::ColComponent, LVCFMT_LEFT, 110},
                        {StringId::ColMassConcentration, LVCFMT_CENTER, 150},
                        {StringId::ColMassFraction, LVCFMT_CENTER, 150},
                        {StringId::ColMolarFraction, LVCFMT_CENTER, 150}});
}

namespace {
constexpr int kMessageListId = 1014;
}

MessageTab::MessageTab() : Dialog(MessagePageTemplate(), DialogFrame::ChildPage) {}

bool MessageTab::OnInitDialog() {
    AddLayout(kMessageListId, 0, 0, 100, 100);
    return false;
}

void MessageTab::ShowLines(const std::vector<std::u16string>& lines) {
    const HWND list = Item(kMessageListId);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::u16string& line : lines) {
        const std::wstring wide = ToWide(line);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

} // namespace sepmet::win32
