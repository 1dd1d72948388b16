#pragma once
// Where the main window goes when it opens. The decision is a pure function of the rectangle
// stored at the last close and of the screens, so that every case can be tested without a
// display; only ApplyFrameGeometry touches a window.

#include "session/window_memory.h"

#include <QList>
#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace sepmet {

StoredWindowRect ToStoredRect(const QRect& frame);

struct ScreenLayout {
    QList<QRect> screens;  // the geometry of every screen
    QRect primaryWorkArea; // the available geometry of the primary screen
};

// The screens of the running application.
ScreenLayout CurrentScreenLayout();

// The frame rectangle the window takes:
// - a stored width or height of 0 or less (first opening): `defaultFrameSize`, no larger than
//   the primary work area, centred in it;
// - a stored rectangle that meets at least one screen: exactly where it was;
// - one that lies on no screen (a display since disconnected): at the top-left corner of the
//   primary work area, its width and height each no larger than the work area's.
QRect PlaceWindow(const StoredWindowRect& stored, const ScreenLayout& layout,
                  QSize defaultFrameSize);

// The client geometry that gives the frame `frame` around a window with these frame margins.
QRect ClientGeometryForFrame(const QRect& frame, const QMargins& frameMargins);

// Puts a top-level window's frame at `frame`. The position is the frame's own (QWidget::move on
// a window), so the title bar does not push the window down at every opening. The window
// manager reports the frame margins only once the window is shown; until then the client size
// is corrected when they first become known, so the frame keeps the stored size as well.
void ApplyFrameGeometry(QWidget& window, const QRect& frame);

} // namespace sepmet
