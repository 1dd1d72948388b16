#pragma once
// The viewer behind "Main/OpenAssayFile": the signal of every channel drawn from the peaks on a
// time axis in minutes, the peak names at their apex (a name that would overlap one already
// written is left out, the tallest peaks first), and the peak table beside it. The wheel zooms
// the time axis round the pointer, a drag zooms to the interval dragged over, a double click
// shows the whole run again; Escape and Ctrl+W close the window.

#include "host/chromatogram.h"

#include <QRectF>
#include <QWidget>
#include <optional>
#include <vector>

class QTableWidget;

namespace sepmet::host {

// The boxes to draw out of `boxes`, taken in the order given: each one that meets none already
// taken. Indexes into `boxes`, in the order taken.
std::vector<std::size_t> NonOverlapping(const std::vector<QRectF>& boxes);

class ChromatogramPlot : public QWidget {
    Q_OBJECT

public:
    explicit ChromatogramPlot(Chromatogram chromatogram, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {720, 460}; }

    // The time interval shown, in minutes.
    double viewStart() const { return viewStart_; }
    double viewEnd() const { return viewEnd_; }
    double endTime() const { return endTime_; }
    // The peak labels the last paint wrote, strip by strip.
    const std::vector<QString>& shownLabels() const { return shownLabels_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QRectF PlotArea() const;
    double TimeAt(double x) const;
    // Shows [start, end], kept inside the run and no narrower than a hundredth of it.
    void ShowInterval(double start, double end);

    Chromatogram chromatogram_;
    double endTime_;
    double viewStart_ = 0;
    double viewEnd_ = 0;
    std::optional<double> dragFrom_; // the pixel column a drag started at
    double dragTo_ = 0;
    std::vector<QString> shownLabels_;
};

class ChromatogramWindow : public QWidget {
    Q_OBJECT

public:
    // A top-level window over `parent` (deleted on close).
    ChromatogramWindow(Chromatogram chromatogram, QWidget* parent);
    QTableWidget& peakTable() { return *peaks_; }
    ChromatogramPlot& plot() { return *plot_; }

private:
    QTableWidget* peaks_;
    ChromatogramPlot* plot_;
};

} // namespace sepmet::host
