#pragma once
// The chromatograms of the analysis database as a table: id, date (local time), file name,
// sample, mixture, method and calibration flag, in id order. Rows are read a page at a time as
// the view scrolls (keyset paging on id), so a database of any size opens at once. The filter
// keeps rows whose sample, file name or mixture contains the typed text, compared with the
// Unicode LIKE of the analysis database's connections (case and accents ignored; "%" and "_"
// stand for themselves).

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <functional>
#include <sqlite3.h>
#include <vector>

namespace sepmet::host {

class AssayTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Id, Date, FileName, Sample, Mixture, Method, Calibration, ColumnCount };

    explicit AssayTableModel(QObject* parent = nullptr);
    ~AssayTableModel() override;

    // Opens `path` read-only (the rows shown before are dropped). False, with SQLite's text in
    // `error`, when the file cannot be opened or holds no assay table.
    bool OpenDatabase(const QString& path, QString* error = nullptr);
    void CloseDatabase();
    bool isOpen() const { return db_ != nullptr; }

    void SetFilter(const QString& text);
    const QString& filter() const { return filter_; }
    // Reads the database afresh from the first row, with the current filter.
    void Reload();

    // Counts the assays of the database afresh; the rows shown stay as they are.
    void RecountTotal();
    // Every assay of the database, whatever the filter (counted at open, reload and recount).
    int TotalCount() const { return total_; }
    // The assays the filter keeps (all when there is none), counted when the filter is set.
    int MatchCount() const { return matches_; }
    // The identifiers of every assay the filter keeps, loaded or not, in id order.
    std::vector<std::int64_t> MatchingIds() const;
    std::int64_t IdAt(int row) const { return rows_.at(row).id; }
    QString FileNameAt(int row) const { return rows_.at(row).fileName; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    static constexpr int kPageRows = 256;

private:
    struct Row {
        std::int64_t id;
        qint64 date;
        bool hasDate;
        QString fileName;
        QString sample;
        QString mixture;
        QString method;
        bool calibration;
    };

    void PreparePage();
    // The rows the filter keeps; after the first page of the filter is read.
    void CountMatches();
    void QueryMatches(bool count, const std::function<void(sqlite3_stmt*)>& onRow) const;
    std::vector<Row> ReadPage();

    sqlite3* db_ = nullptr;
    sqlite3_stmt* page_ = nullptr;
    QString filter_;
    QByteArray pattern_; // the filter as a LIKE pattern, UTF-8
    std::vector<Row> rows_;
    bool atEnd_ = true;
    int total_ = 0;
    int matches_ = 0;
};

// The LIKE pattern that finds `text` as a literal substring with the escape character "\":
// "%" + text with "\", "%" and "_" escaped + "%".
QString LiteralSubstringPattern(const QString& text);

// The page statement of the model: assays after id ?1, at most ?3 rows, and with `filtered`
// only those whose sample, file name or mixture is LIKE ?2 (escape "\").
const char* AssayPageSql(bool filtered);
// The identifiers (`count` false) or their number (`count` true) of the assays LIKE ?2.
const char* AssayMatchSql(bool filtered, bool count);

} // namespace sepmet::host
