#pragma once
// CGridCtrl: a list view in report view that asks its parent for every decision through the
// GRIDN_* notifications (WM_NOTIFY, the parent's return value is the answer), keeps a RowData
// per row, draws the selection in the highlight colours also without the focus, and offers an
// in-place edit field (CGridCtrlEditCell, id 9801) and a column that takes the remaining width.

#include "ui/win32/dialog.h"
#include "ui/win32/windows_api.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace sepmet::win32 {

enum : UINT {
    GRIDN_CELLCHANGED = 3426, // row, column; non-zero keeps the new text
    GRIDN_BEGINEDIT = 3427,   // row, column; non-zero allows the edit
    GRIDN_ROWSELECTED = 3428, // row, column
    GRIDN_CONTEXTMENU = 3429, // x, y on the screen
    GRIDN_SORT = 3430,        // column, ascending; the sort kind
    GRIDN_COLUMNMOVED = 3431, // column, new position; 1 refuses
    GRIDN_BEGINRESIZE = 3432, // column, 0; non-zero refuses
    GRIDN_ENDRESIZE = 3433,   // column, new width; 1 refuses
    GRIDN_DBLCLK = 3434,      // NMITEMACTIVATE*, LRESULT* the parent sets non-zero to take it over
};

// What a GRIDN_* notification carries after its header; the meaning of the two fields is the
// code's (table above).
struct NMGRID {
    NMHDR hdr;
    INT_PTR first;
    INT_PTR second;
};

inline constexpr COLORREF kDefaultColor = 0xFF000000;
inline constexpr int kEditCellId = 9801;

struct RowData {
    COLORREF textColor = kDefaultColor;
    COLORREF backColor = kDefaultColor;
    DWORD_PTR userData = 0; // the caller's value (the chromatogram's id in the main list)
};

// The sort kinds a parent answers to GRIDN_SORT.
enum GridSortKind : int { kNoSort = 0, kSortNumber = 2, kSortDate = 3 };

class CGridCtrlEditCell;

class CGridCtrl final : private NotifyReflector {
public:
    CGridCtrl() = default;
    ~CGridCtrl();
    CGridCtrl(const CGridCtrl&) = delete;
    CGridCtrl& operator=(const CGridCtrl&) = delete;

    // Takes over a list view created from a dialog template: report view, grid lines,
    // full-row selection and info tips.
    void Attach(HWND listView);
    HWND hwnd() const { return hwnd_; }

    // Inserts an empty row after the last one with a new RowData; its index, or a negative
    // value (and no record) when the list refused.
    int AppendRow();
    // "%d" into column 0.
    void SetRowNumber(int index, int number);
    // Every row and its RowData.
    void ClearRows();
    // A column titled with string `textId`, alignment `format` (LVCFMT_*), width in pixels.
    void AddColumn(int column, int textId, int format, int width);

    void SetText(int row, int column, std::u16string_view text);
    std::u16string Text(int row, int column) const;
    RowData* Row(int index) const;
    int RowCount() const;
    int ColumnCount() const;

    // Opens the edit field over a cell when the parent allows it; nullptr otherwise.
    CGridCtrlEditCell* EditCell(int row, int column);
    void SetFillColumn(int column) { fillColumn_ = column; }
    void FitFillColumn();

    int sortColumn() const { return sortColumn_; }
    bool sortAscending() const { return sortAscending_; }
    int sortKind() const { return sortKind_; }

private:
    friend class CGridCtrlEditCell;

    std::optional<LRESULT> OnReflectedNotify(NMHDR* header) override;
    static LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> OnHeaderNotify(NMHEADERW* header);
    LRESULT NotifyParent(UINT code, INT_PTR first, INT_PTR second) const;
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) const;
    void OnDoubleClick(NMITEMACTIVATE* activate);
    void OnColumnClick(int column);
    void OnEndEdit(int row, int column, const std::optional<std::u16string>& text);
    void ReleaseRows();
    struct SortTexts {
        const CGridCtrl* grid;
        std::map<LPARAM, std::u16string> byRecord; // each row's text in the sort column
    };
    static int CALLBACK Compare(LPARAM a, LPARAM b, LPARAM texts);

    HWND hwnd_ = nullptr;
    int sortColumn_ = -1;
    bool sortAscending_ = true;
    int sortKind_ = kNoSort;
    int fillColumn_ = -1;
};

// The in-place edit field over one cell; it deletes itself when its window is gone.
class CGridCtrlEditCell {
public:
    static CGridCtrlEditCell* Create(CGridCtrl& grid, int item, int subItem, const RECT& rect,
                                     DWORD alignment);
    HWND hwnd() const { return hwnd_; }

private:
    CGridCtrlEditCell(CGridCtrl& grid, int item, int subItem, std::u16string text)
        : grid_(grid), item_(item), subItem_(subItem), text_(std::move(text)) {}
    static LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    CGridCtrl& grid_;
    HWND hwnd_ = nullptr;
    int item_;
    int subItem_;
    std::u16string text_; // the cell's text when editing began
    bool cancelled_ = false;
    bool ended_ = false;
};

} // namespace sepmet::win32
