// The viewer as the operator handles it: labels that would overlap left out, the time axis
// zoomed by the wheel and by a drag, reset by a double click, the window closed by Escape and
// Ctrl+W.
#include "host/chromatogram_window.h"
#include "tests/host/host_test_support.h"

#include <QPointer>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace sepmet::host::testing {
namespace {

// Two peaks half a second apart (their names would overlap) and one far from them.
Chromatogram Crowded() {
    Chromatogram chromatogram;
    chromatogram.fileName = QStringLiteral("abs_12.chr");
    chromatogram.sample = QStringLiteral("Раствор поглот. №2");
    chromatogram.peaks = {{QStringLiteral("Метанол"), 1, 2.00, 900, 50, 1.9, 2.1},
                          {QStringLiteral("Этанол"), 1, 2.01, 880, 20, 1.95, 2.2},
                          {QStringLiteral("Вода"), 1, 6.00, 500, 30, 5.8, 6.3}};
    return chromatogram;
}

void Wheel(QWidget& widget, QPointF at, int delta) {
    QWheelEvent event(at, widget.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&widget, &event);
}

TEST(NonOverlapping, KeepsEachBoxThatMeetsNoneKeptBefore) {
    const std::vector<QRectF> boxes = {QRectF(0, 0, 10, 10), QRectF(5, 5, 10, 10),
                                       QRectF(12, 0, 10, 4), QRectF(20, 20, 1, 1)};
    EXPECT_EQ(NonOverlapping(boxes), (std::vector<std::size_t>{0, 2, 3}));
    EXPECT_TRUE(NonOverlapping({}).empty());
}

TEST(ChromatogramViewer, LabelsDoNotOverlapTheWheelAndADragZoomTheTimeAxis) {
    Application();
    QPointer<ChromatogramWindow> viewer = new ChromatogramWindow(Crowded(), nullptr);
    viewer->show();
    ChromatogramPlot& plot = viewer->plot();
    QTest::qWait(0);
    plot.repaint();
    // The taller of the two close peaks keeps its name; the far one keeps its own.
    EXPECT_EQ(plot.shownLabels(), (std::vector<QString>{"Метанол", "Вода"}));
    SaveScreenshot(*viewer, QStringLiteral("host-viewer-labels"));

    const double end = plot.endTime();
    EXPECT_EQ(plot.viewStart(), 0);
    EXPECT_EQ(plot.viewEnd(), end);
    const QPointF middle = plot.rect().center();
    Wheel(plot, middle, 120 * 3); // in, round the pointer
    EXPECT_GT(plot.viewStart(), 0);
    EXPECT_LT(plot.viewEnd(), end);
    EXPECT_NEAR(plot.viewEnd() - plot.viewStart(), end * 0.512, 1e-9);
    Wheel(plot, middle, -120 * 10); // out, no further than the whole run
    EXPECT_EQ(plot.viewStart(), 0);
    EXPECT_EQ(plot.viewEnd(), end);

    // A drag over part of the axis shows that part.
    const int y = plot.height() / 2;
    QTest::mousePress(&plot, Qt::LeftButton, {}, QPoint(plot.width() / 4, y));
    QTest::mouseMove(&plot, QPoint(plot.width() / 2, y));
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, QPoint(plot.width() / 2, y));
    const double dragged = plot.viewEnd() - plot.viewStart();
    EXPECT_LT(dragged, end / 3);
    QTest::mouseDClick(&plot, Qt::LeftButton, {}, QPoint(10, y)); // the whole run again
    EXPECT_EQ(plot.viewStart(), 0);
    EXPECT_EQ(plot.viewEnd(), end);
    // Zoomed in round the two close peaks (0,01 min apart: their names still meet, one shown).
    Wheel(plot, QPointF(plot.width() * 2.005 / end, y), 120 * 9);
    plot.repaint();
    SaveScreenshot(*viewer, QStringLiteral("host-viewer-zoomed"));
    QTest::mouseDClick(&plot, Qt::LeftButton, {}, QPoint(10, y));
    EXPECT_EQ(plot.viewStart(), 0);
    EXPECT_EQ(plot.viewEnd(), end);

    viewer->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(viewer));
    QTest::keyClick(viewer, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(viewer.isNull()); // closed and deleted

    QPointer<ChromatogramWindow> second = new ChromatogramWindow(Crowded(), nullptr);
    second->show();
    second->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(second));
    QTest::keyClick(second, Qt::Key_W, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());
}

} // namespace
} // namespace sepmet::host::testing
