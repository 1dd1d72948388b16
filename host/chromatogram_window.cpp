#include "host/chromatogram_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QSplitter>
#include <QTableWidget>
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

} // namespace

ChromatogramPlot::ChromatogramPlot(Chromatogram chromatogram, QWidget* parent)
    : QWidget(parent), chromatogram_(std::move(chromatogram)), endTime_(1) {
    for (const auto& peak : chromatogram_.peaks)
        endTime_ = std::max(endTime_, std::max(peak.back, peak.time));
    endTime_ = std::ceil(endTime_ * 1.15 + 0.2);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setMinimumSize(360, 240);
}

void ChromatogramPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const std::vector<int> channels = chromatogram_.Channels();
    const QFontMetrics metrics = painter.fontMetrics();
    const int left = metrics.horizontalAdvance(QStringLiteral("000000")) + 12;
    const int right = 16;
    const int bottom = metrics.height() * 2 + 10;
    const QRect area = rect().adjusted(left, 8, -right, -bottom);
    if (channels.empty()) {
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Пиков нет"));
        return;
    }
    const int strips = static_cast<int>(channels.size());
    const double stripHeight = static_cast<double>(area.height()) / strips;
    auto xOf = [&](double t) { return area.left() + t / endTime_ * area.width(); };

    // Time axis, shared by every channel.
    painter.setPen(palette().color(QPalette::Text));
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    const double step = NiceStep(endTime_, 10);
    for (double t = 0; t <= endTime_ + 1e-9; t += step) {
        const double x = xOf(t);
        painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 4));
        const QString label = Number(t, step < 1 ? 1 : 0);
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
        painter.drawText(QPointF(area.left() + 4, stripTop + metrics.ascent() + 2),
                         QStringLiteral("Канал %1").arg(channel));

        QPainterPath trace;
        const int samples = std::max(area.width() * 2, 200);
        for (int i = 0; i <= samples; ++i) {
            const double t = endTime_ * i / samples;
            const QPointF point(xOf(t), yOf(SignalAt(chromatogram_.peaks, channel, t)));
            if (i == 0)
                trace.moveTo(point);
            else
                trace.lineTo(point);
        }
        painter.setPen(QPen(colour, 1.4));
        painter.drawPath(trace);

        painter.setPen(palette().color(QPalette::Text));
        for (const auto& peak : chromatogram_.peaks) {
            if (peak.channel != channel)
                continue;
            const QString label = peak.name.isEmpty() ? Number(peak.time, 2) : peak.name;
            const QPointF apex(xOf(peak.time), yOf(peak.height));
            painter.drawText(
                QPointF(apex.x() - metrics.horizontalAdvance(label) / 2.0, apex.y() - 4), label);
        }
    }
}

ChromatogramWindow::ChromatogramWindow(Chromatogram chromatogram, QWidget* parent)
    : QWidget(parent, Qt::Window), peaks_(new QTableWidget(this)) {
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
    splitter->addWidget(new ChromatogramPlot(std::move(chromatogram), splitter));
    splitter->addWidget(peaks_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({700, 470});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);
    resize(1180, 520);
}

} // namespace sepmet::host
