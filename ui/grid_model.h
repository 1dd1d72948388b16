#pragma once
// The rows of a CGridCtrl: one RowData per row, the cell texts, and the columns with their titles,
// alignments and widths. Views and tests read it through Qt's item-model interface: the column
// titles as horizontal header data, each cell's exact text as Qt::DisplayRole.

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

namespace sepmet {

// 0xFF000000: the row draws in the default colour. Other values are 0x00BBGGRR colours.
inline constexpr std::uint32_t kDefaultRowColor = 0xFF000000;

struct RowData {
    std::uint32_t textColor = kDefaultRowColor;
    std::uint32_t backColor = kDefaultRowColor;
    std::int32_t userData = 0; // the caller's value; the chromatogram list keeps the assay id
    QString toolTip;           // shown over every cell of the row; empty: none
};

// Item roles beyond Qt's own.
namespace GridRole {
enum : int {
    // The row's check state, 0 or 1. Not Qt::CheckStateRole: the list shows no check boxes and
    // the operator cannot change the state.
    RowCheckState = Qt::UserRole + 1,
    UserData = Qt::UserRole + 2, // RowData::userData
};
}

class GridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString title;
        Qt::Alignment alignment = Qt::AlignLeft;
        int width = 0;
    };

    explicit GridModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void InsertColumn(int position, Column column);
    const Column& ColumnAt(int column) const { return columns_[column]; }

    // A new row with empty texts and a fresh RowData; its index.
    int AppendRow();
    void ClearRows();
    // Replaces the rows at once (one reset for the view instead of one insertion per row).
    struct Row {
        QStringList cells;
        RowData data;
        int checkState = 0;
    };
    void SetRows(std::vector<Row> rows);

    QString Text(int row, int column) const;
    void SetText(int row, int column, const QString& text);
    RowData& Data(int row) { return rows_[row].data; }
    const RowData& Data(int row) const { return rows_[row].data; }
    void RowDataChanged(int row); // repaint after a change of Data(row)
    int CheckState(int row) const { return rows_[row].checkState; }
    void SetCheckState(int row, int state);

    // Reorders the rows by `less` (stable), keeping each row's record with it.
    void SortRows(const std::function<bool(const Row&, const Row&)>& less);

private:
    std::vector<Column> columns_;
    std::vector<Row> rows_;
};

} // namespace sepmet
