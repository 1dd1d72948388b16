#pragma once
// CGridCtrl: the plug-in's table control, a report-style item view over a GridModel. It asks its
// parent for every decision (editing, sorting, column moves and resizes) through GridParent; a
// parent that answers nothing answers 0, as every parent of this plug-in does.

#include "ui/grid_model.h"

#include <QLineEdit>
#include <QPoint>
#include <QTableView>
#include <cstdint>
#include <optional>

namespace sepmet {

class CGridCtrl;

// Notification codes the grid sends to its parent.
enum GridNotification : int {
    GRIDN_CELLCHANGED = 3426, // row, column: non-zero keeps the new text
    GRIDN_BEGINEDIT = 3427,   // row, column: non-zero allows the edit
    GRIDN_ROWSELECTED = 3428, // row, column: answer ignored
    GRIDN_CONTEXTMENU = 3429, // x, y in screen coordinates: answer ignored
    GRIDN_SORT = 3430,        // column, ascending: the sort kind (GridSortKind), 0 none
    GRIDN_COLUMNMOVED = 3431, // column, new position: 1 refuses the move
    GRIDN_BEGINRESIZE = 3432, // column, 0: non-zero refuses the resize
    GRIDN_ENDRESIZE = 3433,   // column, new width: 1 refuses the new width
    GRIDN_DBLCLK = 3434,      // GridActivation*, std::intptr_t* result
};

// What GRIDN_DBLCLK carries in its first field.
struct GridActivation {
    int row = -1; // -1: below the last row
    int column = -1;
    QPoint position; // in the grid's viewport
};

class GridParent {
public:
    virtual ~GridParent() = default;
    // The answer to one notification; the default answers nothing, that is 0.
    virtual std::intptr_t OnGridNotify(CGridCtrl& grid, int code, std::intptr_t first,
                                       std::intptr_t second) {
        (void)grid, (void)code, (void)first, (void)second;
        return 0;
    }
};

class CGridCtrlEditCell;

class CGridCtrl : public QTableView {
    Q_OBJECT
public:
    explicit CGridCtrl(QWidget* parent = nullptr);
    ~CGridCtrl() override;

    GridModel& Model() { return model_; }
    const GridModel& Model() const { return model_; }

    // Who answers the notifications; nullptr (the default): the nearest parent widget that is a
    // GridParent, else nobody (every answer 0).
    void SetGridParent(GridParent* parent) { gridParent_ = parent; }
    std::intptr_t Notify(int code, std::intptr_t first, std::intptr_t second);

    // --- row and column operations ---
    int AppendRow();
    void SetRowNumber(int row, int number); // "%d" into column 0
    void ClearRows();
    // `width` in pixels of the template font, scaled to the application's (DialogUnits).
    void AddColumn(int column, int textId, Qt::Alignment alignment, int width);
    void SetText(int row, int column, const QString& text) { model_.SetText(row, column, text); }
    QString Text(int row, int column) const { return model_.Text(row, column); }
    RowData& Data(int row) { return model_.Data(row); }

    // The in-place edit field over a cell, when the parent grants it; nullptr otherwise.
    CGridCtrlEditCell* EditCell(int row, int column);
    // The edit field reports its end: the text, or nothing when it was cancelled.
    void EndEdit(int row, int column, const std::optional<QString>& text);

    // Gives the fill column the width that the other columns leave, but never less than it had
    // when it was made the fill column.
    void FitFillColumn();
    // The column (usually the last) that takes the width the window has to spare; -1: none.
    void SetFillColumn(int column);

    // Column headers may be dragged to new places (GRIDN_COLUMNMOVED asks the parent).
    void SetColumnsMovable(bool movable);
    // The header no longer sorts on a click (the list view's no-sort-header style).
    void SetNoSortHeader(bool noSort) { noSortHeader_ = noSort; }

    int sortColumn() const { return sortColumn_; }
    bool sortAscending() const { return sortAscending_; }
    int sortKind() const { return sortKind_; }
    int fillColumn() const { return fillColumn_; }

    // Rows selected, in list order.
    std::vector<int> SelectedRows() const;

    // The cell's whole text when its column is too narrow to show it (what the cell's tooltip
    // shows); empty when it fits.
    QString CutOffText(const QModelIndex& index) const;

signals:
    // A click on the list (NM_CLICK): the row under the mouse, -1 below the last row.
    void Clicked(int row, int column);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void OnColumnClick(int column);
    void OnSectionMoved(int logical, int oldVisual, int newVisual);
    void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void TakeFocusForScroll();
    int HandleAt(int x) const; // the column whose right border lies under x, or -1

    GridModel model_;
    GridParent* gridParent_ = nullptr;
    int sortColumn_ = -1;
    bool sortAscending_ = true;
    int sortKind_ = 0;
    int fillColumn_ = -1;
    int fillMinimum_ = 0; // the fill column\'s width when it was chosen
    bool noSortHeader_ = false;
    bool undoingMove_ = false;
    int resizingColumn_ = -1;
    int resizeStartWidth_ = 0;
    int pressedRow_ = -1;
    CGridCtrlEditCell* editCell_ = nullptr;
};

// The in-place edit field: Enter ends the edit, Escape cancels it, losing the focus reports it.
class CGridCtrlEditCell final : public QLineEdit {
    Q_OBJECT
public:
    CGridCtrlEditCell(CGridCtrl& grid, int item, int subItem, const QString& text,
                      Qt::Alignment alignment, const QRect& rect);

    int item() const { return item_; }
    int subItem() const { return subItem_; }
    bool cancelled() const { return cancelled_; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CGridCtrl& grid_;
    int item_;
    int subItem_;
    QString text_;
    bool cancelled_ = false;
    bool ended_ = false;
};

} // namespace sepmet
