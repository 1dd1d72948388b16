// CGridCtrl on a real list view: rows with their records, what a parent that answers nothing
// gets, sorting and editing when a parent grants them, resizing, the fill column and the
// selection drawn without the focus.
#include "ui/win32/dialog.h"
#include "ui/win32/grid_ctrl.h"
#include "win32_test_support.h"

#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace sepmet::testing {
namespace {

using win32::CGridCtrl;
using win32::NMGRID;

constexpr int kGridId = 1015;

// The "Градуировка" page as a plain window holding one grid; it records every GRIDN_*
// notification and answers each code as the test says (0 when not told).
class GridParent final : public win32::Dialog {
public:
    GridParent() : Dialog(GradPageTemplate(), win32::DialogFrame::Modal) {
        Create(nullptr);
        grid.Attach(Item(kGridId));
        grid.AddColumn(0, 1040, LVCFMT_LEFT, 60);
        grid.AddColumn(1, 1041, LVCFMT_LEFT, 120);
        grid.AddColumn(2, 1042, LVCFMT_CENTER, 80);
        ShowWindow(hwnd(), SW_SHOW);
        PumpMessages();
    }
    void Fill(const std::vector<std::vector<std::u16string>>& rows) {
        grid.ClearRows();
        for (const auto& cells : rows) {
            const int row = grid.AppendRow();
            for (std::size_t column = 0; column < cells.size(); ++column)
                grid.SetText(row, static_cast<int>(column), cells[column]);
        }
    }
    std::vector<std::u16string> Column(int column) const {
        std::vector<std::u16string> texts;
        for (int row = 0; row < grid.RowCount(); ++row)
            texts.push_back(grid.Text(row, column));
        return texts;
    }
    int HeaderFormat(int column) const {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(ListView_GetHeader(grid.hwnd()), HDM_GETITEMW, column,
                     reinterpret_cast<LPARAM>(&item));
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    }
    int Count(UINT code) const {
        int n = 0;
        for (const NMGRID& seen : notifications)
            n += seen.hdr.code == code;
        return n;
    }

    CGridCtrl grid;
    std::vector<NMGRID> notifications;
    std::map<UINT, LRESULT> answers;
    int itemChanges = 0; // LVN_ITEMCHANGED that reached the parent

protected:
    std::optional<LRESULT> OnNotify(NMHDR* header) override {
        if (header->code >= win32::GRIDN_CELLCHANGED && header->code <= win32::GRIDN_DBLCLK) {
            notifications.push_back(*reinterpret_cast<NMGRID*>(header));
            const auto answer = answers.find(header->code);
            return answer == answers.end() ? 0 : answer->second;
        }
        if (header->code == LVN_ITEMCHANGED)
            ++itemChanges;
        return std::nullopt;
    }
};

POINT CellCenter(HWND list, int row, int column) {
    RECT rect;
    ListView_GetSubItemRect(list, row, column, LVIR_LABEL, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void DoubleClick(HWND window, POINT at) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(window, WM_LBUTTONUP, 0, where);
    SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
    SendMessageW(window, WM_LBUTTONUP, 0, where);
    PumpMessages();
}

void ClickHeader(HWND list, int column) {
    const HWND header = ListView_GetHeader(list);
    RECT rect;
    Header_GetItemRect(header, column, &rect);
    const LPARAM where = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(header, WM_LBUTTONUP, 0, where);
    PumpMessages();
}

TEST(Win32Grid, RowsCarryTheirRecords) {
    GridParent parent;
    CGridCtrl& grid = parent.grid;
    const DWORD styles = ListView_GetExtendedListViewStyle(grid.hwnd());
    EXPECT_EQ(styles, DWORD(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP));
    EXPECT_EQ(GetWindowLongPtrW(grid.hwnd(), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(grid.AppendRow(), i);
        grid.SetRowNumber(i, i + 1);
    }
    EXPECT_EQ(parent.Column(0), (std::vector<std::u16string>{u"1", u"2", u"3"}));
    const win32::RowData* row = grid.Row(2);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->textColor, win32::kDefaultColor);
    EXPECT_EQ(row->backColor, win32::kDefaultColor);
    EXPECT_EQ(row->userData, 0u);
    grid.Row(1)->userData = 4711;
    EXPECT_EQ(grid.Row(1)->userData, 4711u);
    grid.ClearRows();
    EXPECT_EQ(grid.RowCount(), 0);
}

TEST(Win32Grid, ParentThatAnswersNothingGetsNoEditNoSort) {
    GridParent parent;
    parent.Fill({{u"1", u"б"}, {u"2", u"а"}});
    const HWND list = parent.grid.hwnd();
    DoubleClick(list, CellCenter(list, 0, 1));
    DoubleClick(list, CellCenter(list, 0, 1)); // the row holds the focus now: edit is asked
    EXPECT_FALSE(GetDlgItem(list, win32::kEditCellId));
    EXPECT_GE(parent.Count(win32::GRIDN_DBLCLK), 2);
    EXPECT_GE(parent.Count(win32::GRIDN_BEGINEDIT), 1); // asked, refused

    ClickHeader(list, 1);
    ASSERT_EQ(parent.Count(win32::GRIDN_SORT), 1);
    EXPECT_EQ(parent.notifications.back().first, 1);  // column
    EXPECT_EQ(parent.notifications.back().second, 1); // ascending
    EXPECT_EQ(parent.Column(1), (std::vector<std::u16string>{u"б", u"а"}));
    EXPECT_EQ(parent.HeaderFormat(1), 0);
}

TEST(Win32Grid, SortsWhenTheParentGrantsIt) {
    GridParent parent;
    parent.answers[win32::GRIDN_SORT] = 1; // text
    parent.Fill({{u"1", u"груша"}, {u"2", u"Арбуз"}, {u"3", u"Вишня"}, {u"4", u"банан"}});
    const HWND list = parent.grid.hwnd();
    ClickHeader(list, 1);
    EXPECT_EQ(parent.Column(1),
              (std::vector<std::u16string>{u"Арбуз", u"банан", u"Вишня", u"груша"}));
    EXPECT_EQ(parent.HeaderFormat(1), HDF_SORTUP);
    ClickHeader(list, 1);
    EXPECT_EQ(parent.Column(1),
              (std::vector<std::u16string>{u"груша", u"Вишня", u"банан", u"Арбуз"}));
    EXPECT_EQ(parent.HeaderFormat(1), HDF_SORTDOWN);

    // Numbers with the decimal comma: "0.5" reads as 0, "0,5" as one half.
    parent.answers[win32::GRIDN_SORT] = win32::kSortNumber;
    parent.Fill({{u"10"}, {u"0,5"}, {u"2"}, {u"0.5"}});
    ClickHeader(list, 0);
    EXPECT_EQ(parent.Column(0), (std::vector<std::u16string>{u"0.5", u"0,5", u"2", u"10"}));
    EXPECT_EQ(parent.HeaderFormat(0), HDF_SORTUP);
    EXPECT_EQ(parent.HeaderFormat(1), 0); // another column starts ascending, alone with an arrow
}

TEST(Win32Grid, EditFieldWhenTheParentAllowsIt) {
    GridParent parent;
    parent.answers[win32::GRIDN_BEGINEDIT] = 1;
    parent.Fill({{u"1", u"Метанол"}});
    CGridCtrl& grid = parent.grid;
    struct Case {
        const char* what;
        std::u16string typed;
        UINT key;
        LRESULT answer; // to GRIDN_CELLCHANGED
        std::u16string cell;
        int changes;
    };
    const Case cases[] = {
        {"Escape", u"Этанол", VK_ESCAPE, 1, u"Метанол", 0},
        {"Enter unchanged", u"Метанол", VK_RETURN, 1, u"Метанол", 0},
        {"Enter kept", u"Этанол", VK_RETURN, 1, u"Этанол", 1},
        {"Enter refused", u"Пропанол", VK_RETURN, 0, u"Этанол", 1},
    };
    for (const Case& c : cases) {
        parent.notifications.clear();
        parent.answers[win32::GRIDN_CELLCHANGED] = c.answer;
        win32::CGridCtrlEditCell* cell = grid.EditCell(0, 1);
        ASSERT_TRUE(cell) << c.what;
        const HWND edit = GetDlgItem(grid.hwnd(), win32::kEditCellId);
        ASSERT_EQ(edit, cell->hwnd()) << c.what;
        EXPECT_EQ(GetFocus(), edit) << c.what;
        DWORD start = 1, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u) << c.what; // the whole text selected
        EXPECT_EQ(end, static_cast<DWORD>(grid.Text(0, 1).size())) << c.what;
        SetText(edit, c.typed);
        // The key as typed: its character reaches the field (as the dialog manager leaves it).
        SendMessageW(edit, WM_CHAR, c.key, 0);
        PumpMessages();
        EXPECT_FALSE(IsWindow(edit)) << c.what;
        EXPECT_EQ(grid.Text(0, 1), c.cell) << c.what;
        EXPECT_EQ(parent.Count(win32::GRIDN_CELLCHANGED), c.changes) << c.what;
    }
    parent.answers[win32::GRIDN_BEGINEDIT] = 0;
    EXPECT_FALSE(grid.EditCell(0, 1));
    EXPECT_FALSE(grid.EditCell(-1, 1));
}

TEST(Win32Grid, HiddenColumnStaysHiddenOthersResizeAndTheFillColumnTakesTheRest) {
    GridParent parent;
    CGridCtrl& grid = parent.grid;
    ListView_SetColumnWidth(grid.hwnd(), 2, 0);
    auto beginTrack = [&](int column) {
        NMHEADERW header{};
        header.hdr.hwndFrom = ListView_GetHeader(grid.hwnd());
        header.hdr.code = HDN_BEGINTRACKW;
        header.iItem = column;
        return SendMessageW(grid.hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    };
    EXPECT_TRUE(beginTrack(2)); // refused
    EXPECT_EQ(parent.Count(win32::GRIDN_BEGINRESIZE), 0);
    EXPECT_FALSE(beginTrack(1)); // allowed; the parent was asked
    EXPECT_EQ(parent.Count(win32::GRIDN_BEGINRESIZE), 1);

    grid.SetFillColumn(1);
    grid.FitFillColumn();
    RECT window;
    GetWindowRect(grid.hwnd(), &window);
    const int available = window.right - window.left - 7;
    EXPECT_EQ(ListView_GetColumnWidth(grid.hwnd(), 1), available - 60);
    // A size change fits it again.
    SetWindowPos(grid.hwnd(), nullptr, 0, 0, window.right - window.left + 50,
                 window.bottom - window.top, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(ListView_GetColumnWidth(grid.hwnd(), 1), available + 50 - 60);
}

TEST(Win32Grid, SelectionDrawsInTheHighlightWithoutTheFocusAndIsAnnouncedOnce) {
    GridParent parent;
    parent.Fill({{u"1", u"a"}, {u"2", u"b"}});
    CGridCtrl& grid = parent.grid;
    parent.itemChanges = 0;
    ListView_SetItemState(grid.hwnd(), 1, LVIS_SELECTED, LVIS_SELECTED);
    ASSERT_EQ(parent.Count(win32::GRIDN_ROWSELECTED), 1);
    EXPECT_EQ(parent.notifications.back().first, 1);
    EXPECT_EQ(parent.itemChanges, 0); // the selection was not passed on as an item change

    SetFocus(nullptr);
    // The list drawn into a bitmap as it paints itself (custom draw included), whether or not
    // the window has reached the screen yet.
    RECT client;
    GetClientRect(grid.hwnd(), &client);
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageW(grid.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory),
                 PRF_CLIENT | PRF_ERASEBKGND);
    RECT rect;
    ListView_GetSubItemRect(grid.hwnd(), 1, 1, LVIR_BOUNDS, &rect); // right of the text "b"
    const COLORREF selected = GetPixel(memory, rect.right - 4, (rect.top + rect.bottom) / 2);
    ListView_GetSubItemRect(grid.hwnd(), 0, 1, LVIR_BOUNDS, &rect);
    const COLORREF unselected = GetPixel(memory, rect.right - 4, (rect.top + rect.bottom) / 2);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(selected, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_NE(unselected, GetSysColor(COLOR_HIGHLIGHT));
}

} // namespace
} // namespace sepmet::testing
