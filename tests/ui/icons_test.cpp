// The icons are compiled in and render; a sheet of them at 16 px (and the window icon at 16, 32
// and 64 px) goes to the screenshot folder.

#include "tests/ui/window_support.h"
#include "ui/icons.h"

#include <QDir>
#include <QPainter>
#include <QPixmap>

namespace sepmet::testing {
namespace {

TEST(Icons, EveryIconRendersAtItsSizes) {
    EnsureApplication();
    const char* names[] = {IconName::Add,    IconName::Remove, IconName::RemoveAll,
                           IconName::Open,   IconName::Reload, IconName::Settings,
                           IconName::Report, IconName::About};
    QPixmap sheet(8 * 24 + 16 + 32 + 64 + 40, 72);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    int x = 4;
    for (const char* name : names) {
        const QPixmap icon = CommandIcon(name).pixmap(16, 16);
        ASSERT_FALSE(icon.isNull()) << name;
        // Something is drawn: not every pixel transparent.
        const QImage image = icon.toImage();
        bool drawn = false;
        for (int py = 0; py < image.height() && !drawn; ++py)
            for (int px = 0; px < image.width() && !drawn; ++px)
                drawn = qAlpha(image.pixel(px, py)) > 0;
        EXPECT_TRUE(drawn) << name;
        painter.drawPixmap(x, 28, icon);
        x += 24;
    }
    for (int size : {16, 32, 64}) {
        const QPixmap icon = WindowIcon().pixmap(size, size);
        ASSERT_FALSE(icon.isNull());
        painter.drawPixmap(x, 4, icon);
        x += size + 8;
    }
    painter.end();
    QDir().mkpath(QStringLiteral(SEPMET_SCREENSHOT_DIR));
    EXPECT_TRUE(sheet.save(QStringLiteral(SEPMET_SCREENSHOT_DIR "/icons.png")));
}

} // namespace
} // namespace sepmet::testing
