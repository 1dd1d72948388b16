#include "host/chromatogram_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QSplitter>
#include <QTableWidget>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace sepmet::host {
namespace {

const QColor kChannelColours[] = {QColor(0x1f, 0x5f, 0xa8), QColor(0xb0, 0x3a, 0x2e),
                                  QColor(0x2e, 0x7d, 0x32), QColor(0x6a, 0x1b, 0x9a)};

// A step of 1, 2 or 5 times a power of ten that gives about `ticks` intervals over `span`.
double NiceStep(double span, int ticks) {
    const double raw = span / std::max(ticks, 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0})
        if (raw <= factor * power)
            return factor * power;
    return 10 * power;
}

QString Number(double value, int decimals) {
    return QString::number(value, 'f', decimals).replace(u'.', u',');
}

// Wheel zoom per notch (120 units): in by this factor, out by its inverse.
constexpr double kWheelZoom = 0.8;

} // namespace

std::vector<std::size_t> NonOverlapping(const std::vector<QRectF>& boxes) {
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (std::none_of(kept.begin(), kept.end(),
                         [&](std::size_t k) { return boxes[k].intersects(boxes[i]); }))
            kept.push_back(i);
    return kept;
}

ChromatogramPlot::ChromatogramPlot(Chromatogram chromatogram, QWidget* parent)
    : QWidget(parent), chromatogram_(std::move(chromatogram)), endTime_(1) {
    for (const auto& peak : chromatogram_.peaks)
        endTime_ = std::max(endTime_, std::max(peak.back, peak.time));
    endTime_ = std::ceil(endTime_ * 1.15 + 0.2);
    viewEnd_ = endTime_;
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setMinimumSize(360, 240);
    setToolTip(QStringLiteral("Колесо или протягивание мышью: масштаб по времени; двойной "
                              "щелчок: вся хроматограмма"));
}

QRectF ChromatogramPlot::PlotArea() const {
    const QFontMetrics metrics = fontMetrics();
    const int left = metrics.horizontalAdvance(QStringLiteral("000000")) + 12;
    const int right = 16;
    const int bottom = metrics.height() * 2 + 10;
    return QRectF(rect().adjusted(left, 8, -right, -bottom));
}

double ChromatogramPlot::TimeAt(double x) const {
    const QRectF area = PlotArea();
    const double share = area.width() > 0 ? (x - area.left()) / area.width() : 0;
    return viewStart_ + std::clamp(share, 0.0, 1.0) * (viewEnd_ - viewStart_);
}

void ChromatogramPlot::ShowInterval(double start, double end) {
    const double narrowest = endTime_ / 100;
    if (end - start < narrowest) {
        const double middle = (start + end) / 2;
        start = middle - narrowest / 2;
        end = middle + narrowest / 2;
    }
    const double span = std::min(end - start, endTime_);
    start = std::clamp(start, 0.0, endTime_ - span);
    viewStart_ = start;
    viewEnd_ = start + span;
    update();
}

void ChromatogramPlot::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) {
        event->ignore();
        return;
    }
    // The time under the pointer stays where it is.
    const double at = TimeAt(event->position().x());
    const double factor = std::pow(kWheelZoom, notches);
    ShowInterval(at - (at - viewStart_) * factor, at + (viewEnd_ - at) * factor);
    event->accept();
}

void ChromatogramPlot::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position().x();
        dragTo_ = *dragFrom_;
    }
    QWidget::mousePressEvent(event);
}

void ChromatogramPlot::mouseMoveEvent(QMouseEvent* event) {
    if (dragFrom_) {
        dragTo_ = event->position().x();
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void ChromatogramPlot::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragFrom_) {
        const double from = *dragFrom_;
        const double to = event->position().x();
        dragFrom_.reset();
        // A few pixels are a click, not an interval.
        if (std::abs(to - from) >= 4)
            ShowInterval(TimeAt(std::min(from, to)), TimeAt(std::max(from, to)));
        update();
    }
    QWidget::mouseReleaseEvent(event);
}

void ChromatogramPlot::mouseDoubleClickEvent(QMouseEvent* event) {
    dragFrom_.reset();
    ShowInterval(0, endTime_);
    QWidget::mouseDoubleClickEvent(event);
}

void ChromatogramPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    shownLabels_.clear();
    const std::vector<int> channels = chromatogram_.Channels();
    const QFontMetrics metrics = painter.fontMetrics();
    const QRectF area = PlotArea();
    if (channels.empty()) {
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Пиков нет"));
        return;
    }
    const int strips = static_cast<int>(channels.size());
    const double stripHeight = area.height() / strips;
    const double span = viewEnd_ - viewStart_;
    auto xOf = [&](double t) { return area.left() + (t - viewStart_) / span * area.width(); };

    // Time axis, shared by every channel.
    painter.setPen(palette().color(QPalette::Text));
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    const double step = NiceStep(span, 10);
    const int decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
    for (double t = std::ceil(viewStart_ / step - 1e-9) * step; t <= viewEnd_ + 1e-9; t += step) {
        const double x = xOf(t);
        painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 4));
        const QString label = Number(t, decimals);
        painter.drawText(QPointF(x - metrics.horizontalAdvance(label) / 2.0,
                                 area.bottom() + 4 + metrics.ascent()),
                         label);
    }
    const QString axis = QStringLiteral("Время, мин");
    painter.drawText(QPointF(area.right() - metrics.horizontalAdvance(axis),
                             area.bottom() + 6 + metrics.height() + metrics.ascent()),
                     axis);

    for (int strip = 0; strip < strips; ++strip) {
        const int channel = channels[strip];
        const QColor colour = kChannelColours[strip % std::size(kChannelColours)];
        double top = 0;
        for (const auto& peak : chromatogram_.peaks)
            if (peak.channel == channel)
                top = std::max(top, peak.height);
        if (top <= 0)
            top = 1;
        const double stripTop = area.top() + strip * stripHeight;
        const double baseline = stripTop + stripHeight - 4;
        const double scale = (stripHeight - metrics.height() * 2 - 8) / (top * 1.05);
        auto yOf = [&](double signal) { return baseline - signal * scale; };

        painter.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DotLine));
        painter.drawLine(QPointF(area.left(), baseline), QPointF(area.right(), baseline));
        painter.setPen(palette().color(QPalette::Text));
        const QString channelName = QStringLiteral("Канал %1").arg(channel);
        const QPointF channelAt(area.left() + 4, stripTop + metrics.ascent() + 2);
        painter.drawText(channelAt, channelName);

        painter.save();
        painter.setClipRect(area.adjusted(0, -8, 0, 0));
        QPainterPath trace;
        const int samples = std::max(static_cast<int>(area.width()) * 2, 200);
        for (int i = 0; i <= samples; ++i) {
            const double t = viewStart_ + span * i / samples;
            const QPointF point(xOf(t), yOf(SignalAt(chromatogram_.peaks, channel, t)));
            if (i == 0)
                trace.moveTo(point);
            else
                trace.lineTo(point);
        }
        painter.setPen(QPen(colour, 1.4));
        painter.drawPath(trace);
        painter.restore();

        // The labels of the peaks in view, the tallest first; the channel's name is written
        // already. One that would overlap another is left out.
        std::vector<const ChromatogramPeak*> peaks;
        for (const auto& peak : chromatogram_.peaks)
            if (peak.channel == channel && peak.time >= viewStart_ && peak.time <= viewEnd_)
                peaks.push_back(&peak);
        std::stable_sort(peaks.begin(), peaks.end(),
                         [](const auto* a, const auto* b) { return a->height > b->height; });
        std::vector<QRectF> boxes{QRectF(channelAt.x(), channelAt.y() - metrics.ascent(),
                                         metrics.horizontalAdvance(channelName), metrics.height())};
        std::vector<QString> labels{QString()};
        for (const auto* peak : peaks) {
            const QString label = peak->name.isEmpty() ? Number(peak->time, 2) : peak->name;
            const double width = metrics.horizontalAdvance(label);
            const QPointF apex(xOf(peak->time), yOf(peak->height));
            boxes.emplace_back(apex.x() - width / 2.0, apex.y() - 4 - metrics.ascent(), width,
                               metrics.height());
            labels.push_back(label);
        }
        painter.setPen(palette().color(QPalette::Text));
        for (std::size_t i : NonOverlapping(boxes)) {
            if (i == 0)
                continue; // the channel's name
            painter.drawText(QPointF(boxes[i].left(), boxes[i].top() + metrics.ascent()),
                             labels[i]);
            shownLabels_.push_back(labels[i]);
        }
    }

    // The interval being dragged over.
    if (dragFrom_ && std::abs(dragTo_ - *dragFrom_) >= 1) {
        QColor shade = palette().color(QPalette::Highlight);
        shade.setAlpha(60);
        painter.fillRect(QRectF(QPointF(std::min(*dragFrom_, dragTo_), area.top()),
                                QPointF(std::max(*dragFrom_, dragTo_), area.bottom())),
                         shade);
    }
}

ChromatogramWindow::ChromatogramWindow(Chromatogram chromatogram, QWidget* parent)
    : QWidget(parent, Qt::Window), peaks_(new QTableWidget(this)), plot_(nullptr) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(
        QStringLiteral("Хроматограмма %1 — %2").arg(chromatogram.fileName, chromatogram.sample));
    static const char* const titles[] = {"Канал",   "Пик",    "Время, мин", "Высота",
                                         "Площадь", "Начало", "Конец"};
    peaks_->setColumnCount(7);
    QStringList headers;
    for (const char* title : titles)
        headers << QString::fromUtf8(title);
    peaks_->setHorizontalHeaderLabels(headers);
    peaks_->setRowCount(static_cast<int>(chromatogram.peaks.size()));
    peaks_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    peaks_->verticalHeader()->hide();
    int row = 0;
    for (const auto& peak : chromatogram.peaks) {
        const QString cells[] = {QString::number(peak.channel), peak.name,
                                 Number(peak.time, 3),          Number(peak.height, 1),
                                 Number(peak.area, 2),          Number(peak.front, 3),
                                 Number(peak.back, 3)};
        for (int column = 0; column < 7; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column != 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            peaks_->setItem(row, column, item);
        }
        ++row;
    }
    peaks_->resizeColumnsToContents();

    auto* splitter = new QSplitter(this);
    plot_ = new ChromatogramPlot(std::move(chromatogram), splitter);
    splitter->addWidget(plot_);
    splitter->addWidget(peaks_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({700, 470});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);
    resize(1180, 520);

    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
}

} // namespace sepmet::host
