#include "ui/win32/grid_ctrl.h"

#include "platform/number_text.h"
#include "resources/strings.h"
#include "ui/win32/activation_context.h"
#include "ui/win32/win32_text.h"

#include <map>
#include <oleauto.h>
#include <vector>
#include <windowsx.h>

namespace sepmet::win32 {
namespace {

constexpr UINT_PTR kGridSubclassId = 1;
constexpr UINT_PTR kEditSubclassId = 2;
// Posted to the grid after a column resize so that the fill column sees the new width.
constexpr UINT kFitMessage = WM_APP + 0x51;
// Russian, for the case-insensitive comparison of texts (Cyrillic letters fold too).
const LCID kRussian = MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_RUSSIAN_RUSSIA), SORT_DEFAULT);

int ColumnWidth(HWND list, int column) {
    return ListView_GetColumnWidth(list, column);
}

double NumberOf(const std::u16string& text) {
    return ParseDecimalCommaPrefix(text).value_or(0.0);
}

std::optional<DATE> DateOf(const std::u16string& text) {
    DATE date = 0;
    std::wstring wide = ToWide(text);
    if (FAILED(VarDateFromStr(wide.data(), LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE, &date)))
        return std::nullopt;
    return date;
}

} // namespace

CGridCtrl::~CGridCtrl() {
    if (hwnd_) {
        ReleaseRows();
        RemoveWindowSubclass(hwnd_, &Subclass, kGridSubclassId);
        RemovePropW(hwnd_, L"sepmet.NotifyReflector");
    }
}

void CGridCtrl::Attach(HWND listView) {
    hwnd_ = listView;
    SetWindowSubclass(hwnd_, &Subclass, kGridSubclassId, reinterpret_cast<DWORD_PTR>(this));
    NotifyReflector::Attach(hwnd_, this);
    SetWindowLongPtrW(hwnd_, GWL_STYLE,
                      (GetWindowLongPtrW(hwnd_, GWL_STYLE) & ~LVS_TYPEMASK) | LVS_REPORT);
    ListView_SetExtendedListViewStyle(hwnd_,
                                      LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
}

int CGridCtrl::AppendRow() {
    auto* row = new RowData;
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = RowCount();
    item.pszText = const_cast<wchar_t*>(L"");
    item.lParam = reinterpret_cast<LPARAM>(row);
    const int index =
        static_cast<int>(SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0)
        delete row;
    return index;
}

void CGridCtrl::SetRowNumber(int index, int number) {
    SetText(index, 0, FormatInteger(number));
}

void CGridCtrl::ClearRows() {
    ReleaseRows();
    ListView_DeleteAllItems(hwnd_);
}

void CGridCtrl::ReleaseRows() {
    const int count = RowCount();
    for (int i = 0; i < count; ++i) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        delete reinterpret_cast<RowData*>(item.lParam);
        item.lParam = 0;
        SendMessageW(hwnd_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void CGridCtrl::AddColumn(int column, int textId, int format, int width) {
    std::wstring title = ToWide(LoadString(textId));
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    col.fmt = format;
    col.cx = width;
    col.pszText = title.data();
    SendMessageW(hwnd_, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&col));
}

void CGridCtrl::SetText(int row, int column, std::u16string_view text) {
    std::wstring wide = ToWide(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(hwnd_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

std::u16string CGridCtrl::Text(int row, int column) const {
    std::wstring buffer(256, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto length = static_cast<std::size_t>(
            SendMessageW(hwnd_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < buffer.size())
            return FromWide(std::wstring_view(buffer.data(), length));
        buffer.resize(buffer.size() * 4);
    }
}

RowData* CGridCtrl::Row(int index) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<RowData*>(item.lParam);
}

int CGridCtrl::RowCount() const {
    return ListView_GetItemCount(hwnd_);
}

int CGridCtrl::ColumnCount() const {
    return Header_GetItemCount(ListView_GetHeader(hwnd_));
}

LRESULT CGridCtrl::NotifyParent(UINT code, INT_PTR first, INT_PTR second) const {
    NMGRID notify{};
    notify.hdr.hwndFrom = hwnd_;
    notify.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd_));
    notify.hdr.code = code;
    notify.first = first;
    notify.second = second;
    return SendMessageW(GetParent(hwnd_), WM_NOTIFY, notify.hdr.idFrom,
                        reinterpret_cast<LPARAM>(&notify));
}

void CGridCtrl::FitFillColumn() {
    const int columns = ColumnCount();
    if (fillColumn_ < 0 || fillColumn_ >= columns)
        return;
    int others = 0;
    for (int column = 0; column < columns; ++column)
        if (column != fillColumn_)
            others += ColumnWidth(hwnd_, column);
    RECT window;
    GetWindowRect(hwnd_, &window);
    int available = window.right - window.left - 7;
    if (RowCount() > ListView_GetCountPerPage(hwnd_))
        available -= GetSystemMetrics(SM_CXVSCROLL);
    if (others < available)
        ListView_SetColumnWidth(hwnd_, fillColumn_, available - others);
}

CGridCtrlEditCell* CGridCtrl::EditCell(int row, int column) {
    if (row < 0 || column < 0 || !ListView_EnsureVisible(hwnd_, row, TRUE))
        return nullptr;
    if (NotifyParent(GRIDN_BEGINEDIT, row, column) == 0)
        return nullptr;
    RECT rect;
    ListView_GetSubItemRect(hwnd_, row, column, LVIR_LABEL, &rect);
    rect.top -= 2;
    rect.bottom += 2;
    LVCOLUMNW col{};
    col.mask = LVCF_FMT;
    SendMessageW(hwnd_, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&col));
    DWORD alignment = ES_CENTER;
    if ((col.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_LEFT)
        alignment = ES_LEFT;
    else if ((col.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT)
        alignment = ES_RIGHT;
    return CGridCtrlEditCell::Create(*this, row, column, rect, alignment);
}

void CGridCtrl::OnEndEdit(int row, int column, const std::optional<std::u16string>& text) {
    if (!text)
        return;
    const std::u16string old = Text(row, column);
    if (*text == old)
        return;
    SetText(row, column, *text);
    if (NotifyParent(GRIDN_CELLCHANGED, row, column) == 0)
        SetText(row, column, old);
}

std::optional<LRESULT> CGridCtrl::OnReflectedNotify(NMHDR* header) {
    switch (header->code) {
    case NM_CUSTOMDRAW:
        return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    case NM_DBLCLK:
        OnDoubleClick(reinterpret_cast<NMITEMACTIVATE*>(header));
        return 0;
    case LVN_COLUMNCLICK:
        OnColumnClick(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        return 0;
    case LVN_ITEMCHANGED: {
        const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
            !(change->uOldState & LVIS_SELECTED)) {
            NotifyParent(GRIDN_ROWSELECTED, change->iItem, change->iSubItem);
            return 0; // not passed on as an item change
        }
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

LRESULT CGridCtrl::OnCustomDraw(NMLVCUSTOMDRAW* draw) const {
    constexpr LRESULT kItemAndPostPaint = CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT; // 0x30
    const DWORD stage = draw->nmcd.dwDrawStage;
    if (stage == CDDS_ITEMPREPAINT || stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
        const int item = static_cast<int>(draw->nmcd.dwItemSpec);
        if (const auto* row = reinterpret_cast<const RowData*>(draw->nmcd.lItemlParam)) {
            if (row->textColor != kDefaultColor)
                draw->clrText = row->textColor;
            if (row->backColor != kDefaultColor)
                draw->clrTextBk = row->backColor;
        }
        if (ListView_GetItemState(hwnd_, item, LVIS_SELECTED) & LVIS_SELECTED) {
            // The highlight whether or not the list holds the focus; the list view must not
            // draw its own (grey, unfocused) selection over it.
            draw->clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
            draw->clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
            draw->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
        }
    }
    return kItemAndPostPaint;
}

void CGridCtrl::OnDoubleClick(NMITEMACTIVATE* activate) {
    LRESULT taken = 0;
    NotifyParent(GRIDN_DBLCLK, reinterpret_cast<INT_PTR>(activate),
                 reinterpret_cast<INT_PTR>(&taken));
    if (taken != 0 || activate->iItem == -1)
        return;
    if (ListView_GetItemState(hwnd_, activate->iItem, LVIS_FOCUSED) & LVIS_FOCUSED)
        EditCell(activate->iItem, activate->iSubItem);
    else
        ListView_SetItemState(hwnd_, activate->iItem, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
}

void CGridCtrl::OnColumnClick(int column) {
    const bool ascending = column != sortColumn_ || !sortAscending_;
    if (GetWindowLongPtrW(hwnd_, GWL_STYLE) & LVS_NOSORTHEADER)
        return;
    sortColumn_ = column;
    sortAscending_ = ascending;
    sortKind_ = static_cast<int>(NotifyParent(GRIDN_SORT, column, ascending ? 1 : 0));
    if (sortKind_ == kNoSort)
        return;
    const HWND header = ListView_GetHeader(hwnd_);
    for (int i = 0, n = Header_GetItemCount(header); i < n; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column)
            item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    // The texts are read before sorting and found by each row's record: an index read while
    // the list reorders itself is not reliable everywhere.
    SortTexts texts{this, {}};
    for (int row = 0, n = RowCount(); row < n; ++row) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        texts.byRecord[item.lParam] = Text(row, column);
    }
    ListView_SortItems(hwnd_, &Compare, reinterpret_cast<LPARAM>(&texts));
}

int CALLBACK CGridCtrl::Compare(LPARAM a, LPARAM b, LPARAM textsWord) {
    const auto* texts = reinterpret_cast<const SortTexts*>(textsWord);
    const CGridCtrl* self = texts->grid;
    const std::u16string& left = texts->byRecord.at(a);
    const std::u16string& right = texts->byRecord.at(b);
    int order = 0;
    if (self->sortKind_ == kSortNumber) {
        order = NumberOf(left) - NumberOf(right) > 0 ? 1 : -1;
    } else if (self->sortKind_ == kSortDate) {
        const std::optional<DATE> l = DateOf(left), r = DateOf(right);
        if (l && r)
            order = *l < *r ? -1 : (*r < *l ? 1 : 0);
    } else {
        const std::wstring l = ToWide(left), r = ToWide(right);
        order =
            CompareStringW(kRussian, NORM_IGNORECASE, l.c_str(), -1, r.c_str(), -1) - CSTR_EQUAL;
    }
    return self->sortAscending_ ? order : -order;
}

std::optional<LRESULT> CGridCtrl::OnHeaderNotify(NMHEADERW* header) {
    switch (header->hdr.code) {
    case HDN_BEGINTRACKW:
    case HDN_BEGINTRACKA:
        if (ColumnWidth(hwnd_, header->iItem) == 0)
            return TRUE; // a hidden column stays hidden
        return NotifyParent(GRIDN_BEGINRESIZE, header->iItem, 0) != 0 ? TRUE : FALSE;
    case HDN_ENDTRACKW:
    case HDN_ENDTRACKA: {
        if (ColumnWidth(hwnd_, header->iItem) == 0)
            return std::nullopt;
        const int width = header->pitem && (header->pitem->mask & HDI_WIDTH)
                              ? header->pitem->cxy
                              : ColumnWidth(hwnd_, header->iItem);
        if (NotifyParent(GRIDN_ENDRESIZE, header->iItem, width) == 1)
            return TRUE;
        PostMessageW(hwnd_, kFitMessage, 0, 0); // after the header took the width
        return std::nullopt;
    }
    case HDN_ENDDRAG:
        if (ColumnWidth(hwnd_, header->iItem) > 0 && header->pitem &&
            NotifyParent(GRIDN_COLUMNMOVED, header->iItem, header->pitem->iOrder) == 1)
            return TRUE;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

LRESULT CALLBACK CGridCtrl::Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR self) {
    auto* grid = reinterpret_cast<CGridCtrl*>(self);
    if (message == WM_NCDESTROY) {
        grid->ReleaseRows();
        RemoveWindowSubclass(hwnd, &Subclass, kGridSubclassId);
        RemovePropW(hwnd, L"sepmet.NotifyReflector");
        grid->hwnd_ = nullptr;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    return grid->Handle(message, wParam, lParam);
}

LRESULT CGridCtrl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (GetFocus() != hwnd_)
            SetFocus(hwnd_); // ends a cell being edited
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == ListView_GetHeader(hwnd_))
            if (std::optional<LRESULT> result =
                    OnHeaderNotify(reinterpret_cast<NMHEADERW*>(header)))
                return *result;
        break;
    }
    case WM_SIZE: {
        const LRESULT result = DefSubclassProc(hwnd_, message, wParam, lParam);
        FitFillColumn();
        return result;
    }
    case kFitMessage:
        FitFillColumn();
        return 0;
    case WM_CONTEXTMENU: {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (lParam == -1) { // from the keyboard
            point = {5, 5};
            ClientToScreen(hwnd_, &point);
        }
        NotifyParent(GRIDN_CONTEXTMENU, point.x, point.y);
        return 0;
    }
    default:
        break;
    }
    return DefSubclassProc(hwnd_, message, wParam, lParam);
}

CGridCtrlEditCell* CGridCtrlEditCell::Create(CGridCtrl& grid, int item, int subItem,
                                             const RECT& rect, DWORD alignment) {
    auto* cell = new CGridCtrlEditCell(grid, item, subItem, grid.Text(item, subItem));
    ActivationScope scope;
    cell->hwnd_ = CreateWindowExW(
        0, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | alignment, rect.left,
        rect.top, rect.right - rect.left, rect.bottom - rect.top, grid.hwnd(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditCellId)), ResourceModule(), nullptr);
    if (!cell->hwnd_) {
        delete cell;
        return nullptr;
    }
    SetWindowSubclass(cell->hwnd_, &Subclass, kEditSubclassId, reinterpret_cast<DWORD_PTR>(cell));
    SendMessageW(cell->hwnd_, WM_SETFONT, SendMessageW(grid.hwnd(), WM_GETFONT, 0, 0), FALSE);
    SetWindowText(cell->hwnd_, cell->text_);
    SetFocus(cell->hwnd_);
    SendMessageW(cell->hwnd_, EM_SETSEL, 0, -1);
    SendMessageW(cell->hwnd_, EM_SCROLLCARET, 0, 0);
    return cell;
}

LRESULT CALLBACK CGridCtrlEditCell::Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR self) {
    auto* cell = reinterpret_cast<CGridCtrlEditCell*>(self);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &Subclass, kEditSubclassId);
        delete cell;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    return cell->Handle(message, wParam, lParam);
}

LRESULT CGridCtrlEditCell::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        // Enter, Escape, Delete and Ctrl combinations reach the field, not the dialog.
        if (lParam) {
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg->message == WM_KEYDOWN &&
                (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE || msg->wParam == VK_DELETE ||
                 (GetKeyState(VK_CONTROL) & 0x8000)))
                return DLGC_WANTALLKEYS;
        }
        break;
    case WM_CHAR:
        if (wParam == VK_ESCAPE) {
            cancelled_ = true;
            SetFocus(grid_.hwnd());
            return 0;
        }
        if (wParam == VK_RETURN) {
            SetFocus(grid_.hwnd());
            return 0;
        }
        break;
    case WM_KILLFOCUS: {
        const LRESULT result = DefSubclassProc(hwnd_, message, wParam, lParam);
        if (!ended_) {
            ended_ = true;
            std::optional<std::u16string> text;
            if (!cancelled_)
                text = WindowText(hwnd_);
            grid_.OnEndEdit(item_, subItem_, text);
            DestroyWindow(hwnd_); // deletes this
        }
        return result;
    }
    default:
        break;
    }
    return DefSubclassProc(hwnd_, message, wParam, lParam);
}

} // namespace sepmet::win32
