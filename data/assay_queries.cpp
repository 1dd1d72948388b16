#include "data/assay_queries.h"

#include "data/assay_collection.h"
#include "data/column_readers.h"
#include "data/connection.h"
#include "platform/number_text.h"

#include <algorithm>
#include <variant>

namespace sepmet {
namespace {

constexpr const char16_t* kAssayRowSql =
    u"SELECT assay.id, date, filename, sample, mixture, method, iscalibration FROM [assay] WHERE "
    u"assay.id = ?;";
constexpr const char16_t* kPeakRowsSql =
    u"SELECT nameid, name, area, time, concentration, height, channel, front, back  FROM [peak] "
    u"WHERE assayid = ? ORDER BY time;";
constexpr const char16_t* kFileNameSql = u"SELECT filename FROM [assay] WHERE id = ?;";

// The host's identifiers are signed 32-bit values, bound as such by every statement, so the
// assay row and its peaks are always found by the same number; a row whose id lies outside that
// range is never read.
void BindId(DataBase::Statement& statement, std::int32_t id) {
    sqlite3_bind_int(statement.get(), 1, id);
}

Assay ReadAssayRow(sqlite3_stmt* stmt) {
    Assay assay;
    assay.id = ReadInt(stmt, 0);
    assay.date = ReadInt64(stmt, 1);
    assay.filename = ReadText(stmt, 2);
    assay.sample = ReadText(stmt, 3);
    assay.mixture = ReadText(stmt, 4);
    assay.method = ReadText(stmt, 5);
    assay.iscalibration = ReadInt(stmt, 6) != 0;
    return assay;
}

// The peak of the row, or the name of the first column whose value is not a number.
std::variant<Peak, const char16_t*> ReadPeakRow(sqlite3_stmt* stmt) {
    Peak peak;
    peak.nameid = ReadText(stmt, 0);
    peak.name = ReadText(stmt, 1);
    const struct {
        int column;
        const char16_t* name;
        double Peak::*field;
    } numbers[] = {{2, u"area", &Peak::area},
                   {3, u"time", &Peak::time},
                   {4, u"concentration", &Peak::concentration},
                   {5, u"height", &Peak::height},
                   {7, u"front", &Peak::front},
                   {8, u"back", &Peak::back}};
    for (const auto& number : numbers) {
        const std::optional<double> value = ReadExactDouble(stmt, number.column);
        if (!value)
            return number.name;
        peak.*number.field = *value;
    }
    const std::optional<std::int32_t> channel = ReadExactInt(stmt, 6);
    if (!channel)
        return u"channel";
    peak.channel = *channel;
    return peak;
}

} // namespace

void SortPeaks(std::vector<Peak>& peaks) {
    // The channel decides; within a channel the later peak goes after. Widened so that channel
    // numbers near the 32-bit limits cannot overflow the key.
    std::sort(peaks.begin(), peaks.end(), [](const Peak& a, const Peak& b) {
        std::int64_t keyA = std::int64_t{a.channel} * 1000 + (a.time > b.time ? 1 : 0);
        std::int64_t keyB = std::int64_t{b.channel} * 1000 + (b.time > a.time ? 1 : 0);
        return keyA < keyB;
    });
}

std::vector<Peak> ReadPeaks(DataBase::DataBaseHandle& handle, std::int32_t id,
                            std::vector<std::u16string>* skipped) {
    std::vector<Peak> peaks;
    DataBase::Statement statement;
    DataBase::Prepare(handle, statement, kPeakRowsSql);
    BindId(statement, id);
    DataBase::ForEachRow(statement, [&](sqlite3_stmt* stmt) {
        auto row = ReadPeakRow(stmt);
        if (auto* peak = std::get_if<Peak>(&row))
            peaks.push_back(std::move(*peak));
        else if (skipped)
            skipped->push_back(u"Хроматограмма " + FormatInteger(id) + u": пик «" +
                               ReadText(stmt, 1) + u"» не учтён, значение столбца " +
                               std::get<const char16_t*>(row) + u" не является числом.");
    });
    SortPeaks(peaks);
    return peaks;
}

AssayLoad LoadAssay(AssayCollection& collection, DataBase::DataBaseHandle& handle,
                    std::int32_t id) {
    AssayLoad result;
    const std::size_t countBefore = collection.Count();
    try {
        DataBase::Statement statement;
        DataBase::Prepare(handle, statement, kAssayRowSql);
        BindId(statement, id);
        DataBase::ForEachRow(statement, [&](sqlite3_stmt* stmt) {
            result.index = collection.AddAssay(ReadAssayRow(stmt), handle);
            result.status = AssayLoad::Status::Loaded;
        });
    } catch (const DataBase::SqlException& e) {
        // The step after the row may still fail (a lock taken meanwhile): whatever this read
        // added goes again, so the caller sees the collection as it was.
        collection.Truncate(countBefore);
        result = AssayLoad{AssayLoad::Status::Failed, -1, e};
    }
    return result;
}

void CheckAssayStatements(DataBase::DataBaseHandle& handle) {
    for (const char16_t* sql : {kAssayRowSql, kPeakRowsSql, kFileNameSql}) {
        DataBase::Statement statement;
        DataBase::Prepare(handle, statement, sql);
    }
}

void ReloadAssays(AssayCollection& collection, DataBase::DataBaseHandle& handle) {
    AssayCollection reloaded;
    const DataBase::ReadSnapshot snapshot(handle);
    for (std::int32_t id : collection.Ids()) {
        AssayLoad load = LoadAssay(reloaded, handle, id);
        if (load.Failed())
            throw *load.failure;
    }
    collection = std::move(reloaded);
}

void QueryAssayFileName(DataBase::DataBaseHandle& handle, std::int32_t id,
                        const std::function<void(const std::u16string&)>& action) {
    DataBase::Statement statement;
    DataBase::Prepare(handle, statement, kFileNameSql);
    BindId(statement, id);
    DataBase::ForEachRow(statement, [&](sqlite3_stmt* stmt) { action(ReadText(stmt, 0)); });
}

} // namespace sepmet
