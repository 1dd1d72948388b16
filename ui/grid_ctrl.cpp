#include "ui/grid_ctrl.h"

#include "platform/number_text.h"
#include "resources/strings.h"
#include "ui/dialog_units.h"
#include "ui/grid_sort.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

namespace sepmet {
namespace {

QString FromUtf16(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CGridCtrl::CGridCtrl(QWidget* parent) : QTableView(parent) {
    setModel(&model_);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView* header = horizontalHeader();
    header->setSectionsClickable(true);
    // Columns move by dragging only where a grid allows it (SetColumnsMovable); the plug-in's own
    // grids keep their order, as the list view does without header drag-and-drop.
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSortIndicatorShown(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->viewport()->installEventFilter(this);

    // A selected row keeps the highlight colours when the list loses the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);

    connect(header, &QHeaderView::sectionClicked, this, &CGridCtrl::OnColumnClick);
    connect(header, &QHeaderView::sectionMoved, this, &CGridCtrl::OnSectionMoved);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CGridCtrl::OnSelectionChanged);
    for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()}) {
        connect(bar, &QScrollBar::actionTriggered, this, [this] { TakeFocusForScroll(); });
        connect(bar, &QScrollBar::sliderPressed, this, [this] { TakeFocusForScroll(); });
    }
}

CGridCtrl::~CGridCtrl() = default;

std::intptr_t CGridCtrl::Notify(int code, std::intptr_t first, std::intptr_t second) {
    GridParent* parent = gridParent_;
    for (QWidget* w = parentWidget(); !parent && w; w = w->parentWidget())
        parent = dynamic_cast<GridParent*>(w);
    return parent ? parent->OnGridNotify(*this, code, first, second) : 0;
}

int CGridCtrl::AppendRow() {
    return model_.AppendRow();
}

void CGridCtrl::SetRowNumber(int row, int number) {
    model_.SetText(row, 0, FromUtf16(FormatInteger(number)));
}

void CGridCtrl::ClearRows() {
    model_.ClearRows();
}

void CGridCtrl::AddColumn(int column, int textId, Qt::Alignment alignment, int width) {
    // The widths were chosen for the template font; a larger desktop font widens them alike.
    width = ApplicationDialogUnits().ScaleTemplatePixels(width);
    model_.InsertColumn(column, {FromUtf16(LoadString(textId)), alignment, width});
    const int position = std::clamp(column, 0, model_.columnCount() - 1);
    setColumnWidth(position, width);
}

void CGridCtrl::SetColumnsMovable(bool movable) {
    horizontalHeader()->setSectionsMovable(movable);
}

std::vector<int> CGridCtrl::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

// --- mouse, focus and scrolling ---

void CGridCtrl::mousePressEvent(QMouseEvent* event) {
    pressedRow_ = indexAt(event->position().toPoint()).row();
    QTableView::mousePressEvent(event);
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        emit Clicked(index.isValid() ? index.row() : -1, index.isValid() ? index.column() : -1);
    }
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    GridActivation activation{index.isValid() ? index.row() : -1,
                              index.isValid() ? index.column() : -1, event->position().toPoint()};
    std::intptr_t result = 0;
    Notify(GRIDN_DBLCLK, reinterpret_cast<std::intptr_t>(&activation),
           reinterpret_cast<std::intptr_t>(&result));
    if (result != 0 || activation.row < 0)
        return;
    if (currentIndex().isValid() && currentIndex().row() == activation.row) {
        EditCell(activation.row, activation.column);
    } else {
        const QModelIndex target = model_.index(activation.row, std::max(activation.column, 0));
        selectionModel()->setCurrentIndex(target,
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void CGridCtrl::contextMenuEvent(QContextMenuEvent* event) {
    QPoint point = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard)
        point = mapToGlobal(QPoint(5, 5));
    Notify(GRIDN_CONTEXTMENU, point.x(), point.y());
    event->accept();
}

void CGridCtrl::wheelEvent(QWheelEvent* event) {
    TakeFocusForScroll();
    QTableView::wheelEvent(event);
}

void CGridCtrl::TakeFocusForScroll() {
    // Taking the focus ends any cell being edited.
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
}

void CGridCtrl::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    FitFillColumn();
}

void CGridCtrl::OnSelectionChanged(const QItemSelection& selected, const QItemSelection&) {
    std::vector<int> rows;
    for (const QItemSelectionRange& range : selected)
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (std::find(rows.begin(), rows.end(), row) == rows.end())
                rows.push_back(row);
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    for (int row : rows)
        Notify(GRIDN_ROWSELECTED, row, column);
}

// --- header: sorting, moves, resizes ---

void CGridCtrl::OnColumnClick(int column) {
    const bool ascending = column != sortColumn_ || !sortAscending_;
    if (noSortHeader_)
        return;
    sortColumn_ = column;
    sortAscending_ = ascending;
    sortKind_ = static_cast<int>(Notify(GRIDN_SORT, column, ascending ? 1 : 0));
    if (sortKind_ == 0)
        return;
    QHeaderView* header = horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    const int kind = sortKind_;
    model_.SortRows([kind, column, ascending](const GridModel::Row& a, const GridModel::Row& b) {
        const QString& x = column < a.cells.size() ? a.cells[column] : QString();
        const QString& y = column < b.cells.size() ? b.cells[column] : QString();
        return ascending ? CellLess(kind, x, y) : CellLess(kind, y, x);
    });
}

void CGridCtrl::OnSectionMoved(int logical, int oldVisual, int newVisual) {
    if (undoingMove_ || columnWidth(logical) <= 0)
        return;
    if (Notify(GRIDN_COLUMNMOVED, logical, newVisual) == 1) {
        undoingMove_ = true;
        horizontalHeader()->moveSection(newVisual, oldVisual);
        undoingMove_ = false;
    }
}

int CGridCtrl::HandleAt(int x) const {
    const QHeaderView* header = horizontalHeader();
    const int margin = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, header);
    for (int visual = header->count() - 1; visual >= 0; --visual) {
        const int logical = header->logicalIndex(visual);
        if (header->isSectionHidden(logical))
            continue;
        const int right = header->sectionViewportPosition(logical) + header->sectionSize(logical);
        if (std::abs(x - right) <= margin)
            return logical;
    }
    return -1;
}

bool CGridCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (watched != horizontalHeader()->viewport())
        return QTableView::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const int column =
            mouse->button() == Qt::LeftButton ? HandleAt(mouse->position().toPoint().x()) : -1;
        if (column >= 0) {
            // A column of width 0 cannot be resized; the parent decides for the others.
            if (columnWidth(column) == 0 || Notify(GRIDN_BEGINRESIZE, column, 0) != 0)
                return true;
            resizingColumn_ = column;
            resizeStartWidth_ = columnWidth(column);
        }
    } else if (event->type() == QEvent::MouseButtonRelease && resizingColumn_ >= 0) {
        const int column = resizingColumn_;
        resizingColumn_ = -1;
        const bool handled = QTableView::eventFilter(watched, event);
        const int width = columnWidth(column);
        if (resizeStartWidth_ != 0 && width != resizeStartWidth_) {
            if (Notify(GRIDN_ENDRESIZE, column, width) == 1) {
                setColumnWidth(column, resizeStartWidth_);
                return handled;
            }
            FitFillColumn();
        }
        return handled;
    }
    return QTableView::eventFilter(watched, event);
}

QString CGridCtrl::CutOffText(const QModelIndex& index) const {
    if (!index.isValid())
        return {};
    const QString text = index.data(Qt::DisplayRole).toString();
    // The item view draws the text inside the cell's focus-frame margins on either side.
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    const bool fits =
        fontMetrics().horizontalAdvance(text) + margins <= columnWidth(index.column());
    return fits ? QString() : text;
}

bool CGridCtrl::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        // A row's own tooltip (a kept result) comes first; otherwise a cut-off cell's whole text.
        if (index.isValid() && index.data(Qt::ToolTipRole).toString().isEmpty()) {
            const QString text = CutOffText(index);
            if (text.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
            return true;
        }
    }
    return QTableView::viewportEvent(event);
}

void CGridCtrl::FitFillColumn() {
    if (fillColumn_ < 0 || fillColumn_ >= model_.columnCount())
        return;
    int total = 0;
    for (int column = 0; column < model_.columnCount(); ++column)
        total += columnWidth(column);
    int available = width() - 7;
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    if (model_.rowCount() > viewport()->height() / rowHeight)
        available -= style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int others = total - columnWidth(fillColumn_);
    setColumnWidth(fillColumn_, std::max(available - others, fillMinimum_));
}

void CGridCtrl::SetFillColumn(int column) {
    fillColumn_ = column;
    fillMinimum_ = column >= 0 ? columnWidth(column) : 0;
    FitFillColumn();
}

// --- in-place editing ---

CGridCtrlEditCell* CGridCtrl::EditCell(int row, int column) {
    if (row < 0 || column < 0 || row >= model_.rowCount() || column >= model_.columnCount())
        return nullptr;
    const QModelIndex index = model_.index(row, column);
    scrollTo(index, QAbstractItemView::EnsureVisible);
    if (!viewport()->rect().intersects(visualRect(index)))
        return nullptr;
    if (Notify(GRIDN_BEGINEDIT, row, column) == 0)
        return nullptr;
    const QRect rect = visualRect(index).adjusted(0, -2, 0, 2);
    Qt::Alignment alignment = model_.ColumnAt(column).alignment;
    if (!(alignment & (Qt::AlignLeft | Qt::AlignRight)))
        alignment = Qt::AlignHCenter;
    editCell_ =
        new CGridCtrlEditCell(*this, row, column, model_.Text(row, column), alignment, rect);
    return editCell_;
}

void CGridCtrl::EndEdit(int row, int column, const std::optional<QString>& text) {
    editCell_ = nullptr;
    if (!text)
        return;
    const QString old = model_.Text(row, column);
    if (*text == old)
        return;
    model_.SetText(row, column, *text);
    if (Notify(GRIDN_CELLCHANGED, row, column) == 0)
        model_.SetText(row, column, old);
}

CGridCtrlEditCell::CGridCtrlEditCell(CGridCtrl& grid, int item, int subItem, const QString& text,
                                     Qt::Alignment alignment, const QRect& rect)
    : QLineEdit(grid.viewport()), grid_(grid), item_(item), subItem_(subItem), text_(text) {
    setObjectName(QStringLiteral("gridEditCell"));
    setFrame(true);
    setAlignment(alignment | Qt::AlignVCenter);
    setFont(grid.font());
    setGeometry(rect);
    setText(text);
    show();
    setFocus(Qt::OtherFocusReason);
    selectAll();
    end(true);
    home(true);
    selectAll();
}

bool CGridCtrlEditCell::event(QEvent* event) {
    // Enter, Escape, Delete and Ctrl combinations belong to the field, not to the dialog's
    // default button, its Escape handling or the window's shortcuts.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
            key->key() == Qt::Key_Escape || key->key() == Qt::Key_Delete ||
            (key->modifiers() & Qt::ControlModifier)) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CGridCtrlEditCell::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        cancelled_ = true;
        grid_.setFocus(Qt::OtherFocusReason);
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        grid_.setFocus(Qt::OtherFocusReason);
        event->accept();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void CGridCtrlEditCell::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (ended_)
        return;
    ended_ = true;
    const std::optional<QString> result =
        cancelled_ ? std::nullopt : std::optional<QString>(text());
    hide();
    grid_.EndEdit(item_, subItem_, result);
    // Destroyed once the focus change that called here has finished with it; a grid destroyed
    // first takes it along as its child.
    deleteLater();
}

} // namespace sepmet
