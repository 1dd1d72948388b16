#include "ui/grid_model.h"

#include <QBrush>
#include <QColor>
#include <algorithm>

namespace sepmet {
namespace {

QColor FromColorRef(std::uint32_t value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

} // namespace

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const Row& row = rows_[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return index.column() < row.cells.size() ? row.cells[index.column()] : QString();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columns_[index.column()].alignment | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (row.data.textColor != kDefaultRowColor)
            return QBrush(FromColorRef(row.data.textColor));
        return {};
    case Qt::BackgroundRole:
        if (row.data.backColor != kDefaultRowColor)
            return QBrush(FromColorRef(row.data.backColor));
        return {};
    case Qt::ToolTipRole:
        if (!row.data.toolTip.isEmpty())
            return row.data.toolTip;
        return {};
    case GridRole::RowCheckState:
        return row.checkState;
    case GridRole::UserData:
        return row.data.userData;
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return columns_[section].title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columns_[section].alignment | Qt::AlignVCenter);
    return {};
}

void GridModel::InsertColumn(int position, Column column) {
    position = std::clamp(position, 0, columnCount());
    beginInsertColumns({}, position, position);
    columns_.insert(columns_.begin() + position, std::move(column));
    for (Row& row : rows_)
        if (position <= row.cells.size())
            row.cells.insert(position, QString());
    endInsertColumns();
}

int GridModel::AppendRow() {
    const int index = rowCount();
    beginInsertRows({}, index, index);
    rows_.push_back(Row{QStringList(columnCount()), RowData{}, 0});
    endInsertRows();
    return index;
}

void GridModel::ClearRows() {
    if (rows_.empty())
        return;
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void GridModel::SetRows(std::vector<Row> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    for (Row& row : rows_)
        while (row.cells.size() < columnCount())
            row.cells.append(QString());
    endResetModel();
}

QString GridModel::Text(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= rows_[row].cells.size())
        return {};
    return rows_[row].cells[column];
}

void GridModel::SetText(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    QStringList& cells = rows_[row].cells;
    while (cells.size() <= column)
        cells.append(QString());
    cells[column] = text;
    emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
}

void GridModel::RowDataChanged(int row) {
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void GridModel::SetCheckState(int row, int state) {
    rows_[row].checkState = state;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1), {GridRole::RowCheckState});
}

void GridModel::SortRows(const std::function<bool(const Row&, const Row&)>& less) {
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<int> order(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return less(rows_[a], rows_[b]); });
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    std::vector<int> newPosition(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        newPosition[order[i]] = static_cast<int>(i);
        sorted.push_back(std::move(rows_[order[i]]));
    }
    rows_ = std::move(sorted);
    QModelIndexList after;
    for (const QModelIndex& old : before)
        after.append(index(newPosition[old.row()], old.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

} // namespace sepmet
