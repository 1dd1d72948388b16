#include "ui/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace sepmet {
namespace {

QMargins FrameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom());
}

// Waits until the window manager has put its frame around the window, then sizes the client so
// that the frame has the stored size, once.
class FrameSizeKeeper final : public QObject {
public:
    FrameSizeKeeper(QWidget& window, QSize frameSize) : QObject(&window), frameSize_(frameSize) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize)
            return false;
        auto* window = static_cast<QWidget*>(watched);
        const QMargins margins = FrameMargins(*window);
        if (margins.isNull())
            return false;
        const QSize client(frameSize_.width() - margins.left() - margins.right(),
                           frameSize_.height() - margins.top() - margins.bottom());
        window->removeEventFilter(this);
        deleteLater();
        if (window->size() != client)
            window->resize(client);
        return false;
    }

private:
    QSize frameSize_;
};

} // namespace

StoredWindowRect ToStoredRect(const QRect& frame) {
    return {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
}

ScreenLayout CurrentScreenLayout() {
    ScreenLayout layout;
    for (const QScreen* screen : QGuiApplication::screens())
        layout.screens.append(screen->geometry());
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        layout.primaryWorkArea = primary->availableGeometry();
    return layout;
}

QRect PlaceWindow(const StoredWindowRect& stored, const ScreenLayout& layout,
                  QSize defaultFrameSize) {
    const QRect& area = layout.primaryWorkArea;
    if (stored.Width() <= 0 || stored.Height() <= 0) {
        // First opening (nothing stored yet): the window's own size, centred on the primary
        // work area.
        QRect frame(QPoint(0, 0), defaultFrameSize.boundedTo(area.size()));
        frame.moveCenter(area.center());
        return frame;
    }
    const QRect rect(stored.left, stored.top, stored.Width(), stored.Height());
    const bool onAScreen =
        std::any_of(layout.screens.begin(), layout.screens.end(),
                    [&](const QRect& screen) { return screen.intersects(rect); });
    if (onAScreen)
        return rect;
    return QRect(area.topLeft(), QSize(std::min(rect.width(), area.width()),
                                       std::min(rect.height(), area.height())));
}

QSize MinimumClientSize(QSize wanted, const QRect& workArea, const QMargins& frameMargins) {
    const QSize room = workArea.marginsRemoved(frameMargins).size();
    return wanted.boundedTo(room.expandedTo(QSize(0, 0)));
}

void BoundMinimumSizeToScreen(QWidget& window, QSize wanted, const QRect& frame) {
    const QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen) {
        window.setMinimumSize(wanted);
        return;
    }
    QMargins margins = FrameMargins(window);
    if (margins.isNull() && window.isWindow()) {
        // Before it is first shown the window has no frame yet: allow for a title bar of two
        // text lines and borders of half a line.
        const int line = window.fontMetrics().height();
        margins = QMargins(line / 2, line * 2, line / 2, line / 2);
    }
    window.setMinimumSize(MinimumClientSize(wanted, screen->availableGeometry(), margins));
}

QRect ClientGeometryForFrame(const QRect& frame, const QMargins& frameMargins) {
    return frame.marginsRemoved(frameMargins);
}

void ApplyFrameGeometry(QWidget& window, const QRect& frame) {
    const QMargins margins = FrameMargins(window);
    window.move(frame.topLeft()); // a window's position is that of its frame
    window.resize(ClientGeometryForFrame(frame, margins).size());
    if (margins.isNull())
        new FrameSizeKeeper(window, frame.size());
}

} // namespace sepmet
