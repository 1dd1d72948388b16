#pragma once
// One chromatogram as the viewer draws it: the assay row found by its file name and its peaks.
// The signal is rebuilt from the peaks: each peak is a bell that rises from its front to its
// apex at `time` with its `height` and falls to its back.

#include <QString>
#include <optional>
#include <vector>

namespace sepmet::host {

struct ChromatogramPeak {
    QString name;
    int channel = 0;
    double time = 0; // minutes
    double height = 0;
    double area = 0;
    double front = 0; // minutes
    double back = 0;  // minutes
};

struct Chromatogram {
    qint64 id = 0;
    QString fileName;
    QString sample;
    std::vector<ChromatogramPeak> peaks; // by channel, then time
    std::vector<int> Channels() const;
};

// The first assay with that file name, with its peaks; none when no row has it. `error` gets
// SQLite's text when the database cannot be read.
std::optional<Chromatogram> ReadChromatogram(const QString& databasePath, const QString& fileName,
                                             QString* error = nullptr);

// The rebuilt signal of one channel at time `t` (minutes).
double SignalAt(const std::vector<ChromatogramPeak>& peaks, int channel, double t);

} // namespace sepmet::host
