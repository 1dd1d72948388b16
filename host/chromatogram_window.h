#pragma once
// The viewer behind "Main/OpenAssayFile": the signal of every channel drawn from the peaks on a
// time axis in minutes, the peak names at their apex, and the peak table beside it.

#include "host/chromatogram.h"

#include <QWidget>

class QTableWidget;

namespace sepmet::host {

class ChromatogramPlot : public QWidget {
    Q_OBJECT

public:
    explicit ChromatogramPlot(Chromatogram chromatogram, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {720, 460}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Chromatogram chromatogram_;
    double endTime_;
};

class ChromatogramWindow : public QWidget {
    Q_OBJECT

public:
    // A top-level window over `parent` (deleted on close).
    ChromatogramWindow(Chromatogram chromatogram, QWidget* parent);
    QTableWidget& peakTable() { return *peaks_; }

private:
    QTableWidget* peaks_;
};

} // namespace sepmet::host
