#include "host/assay_table_model.h"

#include "data/unicode_functions.h"

#include <QDateTime>
#include <functional>
#include <limits>

namespace sepmet::host {

QString LiteralSubstringPattern(const QString& text) {
    QString pattern;
    pattern.reserve(text.size() + 2);
    pattern += u'%';
    for (QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            pattern += u'\\';
        pattern += c;
    }
    pattern += u'%';
    return pattern;
}

const char* AssayPageSql(bool filtered) {
    return filtered
               ? "SELECT id, date, filename, sample, mixture, method, iscalibration FROM assay"
                 " WHERE id > ?1 AND (sample LIKE ?2 ESCAPE '\\' OR filename LIKE ?2 ESCAPE '\\'"
                 " OR mixture LIKE ?2 ESCAPE '\\') ORDER BY id LIMIT ?3"
               : "SELECT id, date, filename, sample, mixture, method, iscalibration FROM assay"
                 " WHERE id > ?1 ORDER BY id LIMIT ?3";
}

const char* AssayMatchSql(bool filtered, bool count) {
    if (!filtered)
        return count ? "SELECT count(*) FROM assay" : "SELECT id FROM assay ORDER BY id";
    return count ? "SELECT count(*) FROM assay WHERE sample LIKE ?2 ESCAPE '\\' OR filename LIKE ?2"
                   " ESCAPE '\\' OR mixture LIKE ?2 ESCAPE '\\'"
                 : "SELECT id FROM assay WHERE sample LIKE ?2 ESCAPE '\\' OR filename LIKE ?2"
                   " ESCAPE '\\' OR mixture LIKE ?2 ESCAPE '\\' ORDER BY id";
}

AssayTableModel::AssayTableModel(QObject* parent) : QAbstractTableModel(parent) {}

AssayTableModel::~AssayTableModel() {
    CloseDatabase();
}

bool AssayTableModel::OpenDatabase(const QString& path, QString* error) {
    beginResetModel();
    CloseDatabase();
    const QByteArray file = path.toUtf8();
    int status = sqlite3_open_v2(file.constData(), &db_, SQLITE_OPEN_READONLY, nullptr);
    if (status == SQLITE_OK)
        status = RegisterUnicodeFunctions(db_);
    sqlite3_stmt* count = nullptr;
    if (status == SQLITE_OK)
        status = sqlite3_prepare_v2(db_, "SELECT count(*) FROM assay", -1, &count, nullptr);
    if (status == SQLITE_OK && sqlite3_step(count) == SQLITE_ROW)
        total_ = sqlite3_column_int(count, 0);
    else if (status == SQLITE_OK)
        status = sqlite3_errcode(db_);
    sqlite3_finalize(count);
    if (status != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(status));
        sqlite3_close(db_);
        db_ = nullptr;
        total_ = 0;
        endResetModel();
        return false;
    }
    PreparePage();
    rows_ = ReadPage();
    CountMatches();
    endResetModel();
    return true;
}

void AssayTableModel::CloseDatabase() {
    sqlite3_finalize(page_);
    page_ = nullptr;
    sqlite3_close(db_);
    db_ = nullptr;
    rows_.clear();
    atEnd_ = true;
    total_ = 0;
    matches_ = 0;
}

void AssayTableModel::QueryMatches(bool count,
                                   const std::function<void(sqlite3_stmt*)>& onRow) const {
    sqlite3_stmt* query = nullptr;
    if (db_ && sqlite3_prepare_v2(db_, AssayMatchSql(!filter_.isEmpty(), count), -1, &query,
                                  nullptr) == SQLITE_OK) {
        if (!filter_.isEmpty())
            sqlite3_bind_text(query, 2, pattern_.constData(), static_cast<int>(pattern_.size()),
                              SQLITE_STATIC);
        while (sqlite3_step(query) == SQLITE_ROW)
            onRow(query);
    }
    sqlite3_finalize(query);
}

std::vector<std::int64_t> AssayTableModel::MatchingIds() const {
    std::vector<std::int64_t> ids;
    QueryMatches(false, [&](sqlite3_stmt* row) { ids.push_back(sqlite3_column_int64(row, 0)); });
    return ids;
}

void AssayTableModel::CountMatches() {
    // A first page that reached the end holds every match: no second pass over the table, which
    // a filter that matches few rows has just read whole.
    if (atEnd_) {
        matches_ = static_cast<int>(rows_.size());
        return;
    }
    matches_ = 0;
    QueryMatches(true, [this](sqlite3_stmt* row) { matches_ = sqlite3_column_int(row, 0); });
}

void AssayTableModel::SetFilter(const QString& text) {
    if (text == filter_)
        return;
    filter_ = text;
    beginResetModel();
    PreparePage();
    rows_ = ReadPage();
    CountMatches();
    endResetModel();
}

void AssayTableModel::RecountTotal() {
    if (!db_)
        return;
    sqlite3_stmt* count = nullptr;
    if (sqlite3_prepare_v2(db_, "SELECT count(*) FROM assay", -1, &count, nullptr) == SQLITE_OK &&
        sqlite3_step(count) == SQLITE_ROW)
        total_ = sqlite3_column_int(count, 0);
    sqlite3_finalize(count);
}

void AssayTableModel::Reload() {
    beginResetModel();
    RecountTotal();
    PreparePage();
    rows_ = ReadPage();
    CountMatches();
    endResetModel();
}

void AssayTableModel::PreparePage() {
    sqlite3_finalize(page_);
    page_ = nullptr;
    rows_.clear();
    atEnd_ = true;
    if (!db_)
        return;
    pattern_ = LiteralSubstringPattern(filter_).toUtf8();
    if (sqlite3_prepare_v2(db_, AssayPageSql(!filter_.isEmpty()), -1, &page_, nullptr) != SQLITE_OK)
        return;
    atEnd_ = false;
}

std::vector<AssayTableModel::Row> AssayTableModel::ReadPage() {
    std::vector<Row> page;
    if (!page_ || atEnd_)
        return page;
    sqlite3_reset(page_);
    sqlite3_bind_int64(page_, 1,
                       rows_.empty() ? std::numeric_limits<sqlite3_int64>::min() : rows_.back().id);
    if (!filter_.isEmpty())
        sqlite3_bind_text(page_, 2, pattern_.constData(), static_cast<int>(pattern_.size()),
                          SQLITE_STATIC);
    sqlite3_bind_int(page_, 3, kPageRows);
    auto text = [this](int column) {
        const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(page_, column));
        return value ? QString::fromUtf8(value, sqlite3_column_bytes(page_, column)) : QString();
    };
    while (sqlite3_step(page_) == SQLITE_ROW)
        page.push_back({sqlite3_column_int64(page_, 0), sqlite3_column_int64(page_, 1),
                        sqlite3_column_type(page_, 1) != SQLITE_NULL, text(2), text(3), text(4),
                        text(5), sqlite3_column_int(page_, 6) != 0});
    if (page.size() < static_cast<std::size_t>(kPageRows))
        atEnd_ = true;
    sqlite3_reset(page_);
    return page;
}

int AssayTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int AssayTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AssayTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row& row = rows_[index.row()];
    if (role == Qt::TextAlignmentRole && index.column() == Id)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case Id:
        return QString::number(row.id);
    case Date:
        // The analysis database keeps seconds since 1970 UTC; the operator reads local time.
        return row.hasDate ? QDateTime::fromSecsSinceEpoch(row.date).toLocalTime().toString(
                                 QStringLiteral("dd.MM.yyyy HH:mm"))
                           : QString();
    case FileName:
        return row.fileName;
    case Sample:
        return row.sample;
    case Mixture:
        return row.mixture;
    case Method:
        return row.method;
    case Calibration:
        return row.calibration ? QStringLiteral("да") : QString();
    }
    return {};
}

QVariant AssayTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titles[] = {"Номер", "Дата",  "Файл",       "Проба",
                                         "Смесь", "Метод", "Градуировка"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QVariant();
}

bool AssayTableModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !atEnd_;
}

void AssayTableModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid() || atEnd_)
        return;
    std::vector<Row> page = ReadPage();
    if (page.empty())
        return;
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(page.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(page.begin()),
                 std::make_move_iterator(page.end()));
    endInsertRows();
}

} // namespace sepmet::host
