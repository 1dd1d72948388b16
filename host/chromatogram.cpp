#include "host/chromatogram.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <sqlite3.h>

namespace sepmet::host {

std::vector<int> Chromatogram::Channels() const {
    std::set<int> channels;
    for (const auto& peak : peaks)
        channels.insert(peak.channel);
    return {channels.begin(), channels.end()};
}

namespace {
QString Text(sqlite3_stmt* stmt, int column) {
    const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return value ? QString::fromUtf8(value, sqlite3_column_bytes(stmt, column)) : QString();
}
} // namespace

std::optional<Chromatogram> ReadChromatogram(const QString& databasePath, const QString& fileName,
                                             QString* error) {
    sqlite3* db = nullptr;
    std::optional<Chromatogram> found;
    const QByteArray path = databasePath.toUtf8();
    const QByteArray name = fileName.toUtf8();
    int status = sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* assay = nullptr;
    sqlite3_stmt* peaks = nullptr;
    if (status == SQLITE_OK)
        status = sqlite3_prepare_v2(
            db, "SELECT id, filename, sample FROM assay WHERE filename = ?1 ORDER BY id LIMIT 1",
            -1, &assay, nullptr);
    if (status == SQLITE_OK)
        status = sqlite3_prepare_v2(db,
                                    "SELECT name, channel, time, height, area, front, back FROM"
                                    " peak WHERE assayid = ?1 ORDER BY channel, time",
                                    -1, &peaks, nullptr);
    if (status == SQLITE_OK) {
        sqlite3_bind_text(assay, 1, name.constData(), static_cast<int>(name.size()), SQLITE_STATIC);
        if (sqlite3_step(assay) == SQLITE_ROW) {
            Chromatogram chromatogram;
            chromatogram.id = sqlite3_column_int64(assay, 0);
            chromatogram.fileName = Text(assay, 1);
            chromatogram.sample = Text(assay, 2);
            sqlite3_bind_int64(peaks, 1, chromatogram.id);
            while (sqlite3_step(peaks) == SQLITE_ROW)
                chromatogram.peaks.push_back(
                    {Text(peaks, 0), sqlite3_column_int(peaks, 1), sqlite3_column_double(peaks, 2),
                     sqlite3_column_double(peaks, 3), sqlite3_column_double(peaks, 4),
                     sqlite3_column_double(peaks, 5), sqlite3_column_double(peaks, 6)});
            found = std::move(chromatogram);
        }
    }
    if (status != SQLITE_OK && error)
        *error = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(status));
    sqlite3_finalize(assay);
    sqlite3_finalize(peaks);
    sqlite3_close(db);
    return found;
}

double SignalAt(const std::vector<ChromatogramPeak>& peaks, int channel, double t) {
    double signal = 0;
    for (const auto& peak : peaks) {
        if (peak.channel != channel)
            continue;
        // The bounds are taken as three standard deviations either side of the apex; a peak
        // without usable bounds is drawn narrow.
        const double left = peak.time - peak.front > 0 ? (peak.time - peak.front) / 3 : 0.01;
        const double right = peak.back - peak.time > 0 ? (peak.back - peak.time) / 3 : 0.01;
        const double sigma = t < peak.time ? left : right;
        const double z = (t - peak.time) / sigma;
        if (std::abs(z) < 8)
            signal += peak.height * std::exp(-0.5 * z * z);
    }
    return signal;
}

} // namespace sepmet::host
