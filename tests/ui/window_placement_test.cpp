#include "ui/window_placement.h"
#include "ui_state_support.h"

#include <QWidget>
#include <cctype>
#include <gtest/gtest.h>
#include <string>

namespace sepmet::testing {
namespace {

// Two screens side by side; the primary one has a panel of 40 pixels at its bottom.
const ScreenLayout kTwoScreens{{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)},
                               QRect(0, 0, 1920, 1040)};
const QSize kTemplateSize(960, 540);

struct PlacementCase {
    const char* what;
    StoredWindowRect stored;
    QRect expected;
};

class WindowPlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(WindowPlacementTest, FrameRectangle) {
    const PlacementCase& c = GetParam();
    EXPECT_EQ(PlaceWindow(c.stored, kTwoScreens, kTemplateSize), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowPlacementTest,
    ::testing::Values(
        PlacementCase{"on the primary screen", {100, 50, 1000, 600}, QRect(100, 50, 900, 550)},
        PlacementCase{"on the second screen", {2000, 100, 2900, 700}, QRect(2000, 100, 900, 600)},
        PlacementCase{"half off the right edge", {3000, 10, 3500, 500}, QRect(3000, 10, 500, 490)},
        PlacementCase{"larger than the work area, on a screen",
                      {-10, -10, 2500, 1500},
                      QRect(-10, -10, 2510, 1510)},
        PlacementCase{
            "on a display since disconnected", {-2000, 100, -1100, 700}, QRect(0, 0, 900, 600)},
        PlacementCase{"below every screen", {100, 1200, 1000, 1800}, QRect(0, 0, 900, 600)},
        PlacementCase{"off every screen and larger than the work area",
                      {5000, 5000, 8000, 7000},
                      QRect(0, 0, 1920, 1040)},
        PlacementCase{"first opening, nothing stored", {0, 0, 0, 0}, QRect(480, 250, 960, 540)},
        PlacementCase{"negative size", {500, 500, 400, 400}, QRect(480, 250, 960, 540)},
        PlacementCase{"zero height", {100, 100, 900, 100}, QRect(480, 250, 960, 540)}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) {
        std::string name;
        for (const char* c = info.param.what; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

TEST(WindowPlacement, FirstOpeningOnASmallWorkAreaIsNoLargerThanIt) {
    const ScreenLayout small{{QRect(0, 0, 800, 600)}, QRect(0, 30, 800, 570)};
    EXPECT_EQ(PlaceWindow({}, small, kTemplateSize), QRect(0, 45, 800, 540));
}

TEST(WindowPlacement, MinimumSizeLeavesTheFrameOnTheWorkArea) {
    const QSize wanted(840, 468);
    const QMargins frame(1, 30, 1, 1);
    // 1600 x 1000 at a scale factor of 2, a 30-pixel panel: the frame must still fit.
    EXPECT_EQ(MinimumClientSize(wanted, QRect(0, 0, 800, 470), frame), QSize(798, 439));
    EXPECT_EQ(MinimumClientSize(wanted, QRect(0, 0, 1920, 1050), frame), wanted);
    EXPECT_EQ(MinimumClientSize(wanted, QRect(0, 0, 10, 10), QMargins(0, 30, 0, 0)), QSize(10, 0));
}

TEST(WindowPlacement, StoredRectangleRoundTripsThroughTheFrameWithItsMargins) {
    // A title bar of 30 pixels and borders of 4: the window is put back where its frame was,
    // not 30 pixels lower, and its frame keeps its size.
    const QMargins margins(4, 30, 4, 4);
    const QRect frame(200, 100, 900, 600);
    const StoredWindowRect stored = ToStoredRect(frame);
    EXPECT_EQ(stored, (StoredWindowRect{200, 100, 1100, 700}));
    const QRect placed = PlaceWindow(stored, kTwoScreens, kTemplateSize);
    const QRect client = ClientGeometryForFrame(placed, margins);
    EXPECT_EQ(client, QRect(204, 130, 892, 566));
    EXPECT_EQ(client.marginsAdded(margins), frame);
}

TEST(WindowPlacement, AppliedFrameIsTheFrameAWindowReportsBack) {
    UiApplication();
    for (int opening = 0; opening < 3; ++opening) {
        QWidget window;
        window.show();
        ApplyFrameGeometry(window, QRect(150, 120, 900, 600));
        EXPECT_EQ(window.frameGeometry(), QRect(150, 120, 900, 600)) << opening;
    }
}

} // namespace
} // namespace sepmet::testing
