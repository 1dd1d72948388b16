#pragma once
// Helpers of the settings, about and window-state tests: the application object, modal runs
// driven as an operator would, and screenshots.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPixmap>
#include <QString>
#include <QTest>
#include <QTimer>
#include <functional>

namespace sepmet::testing {

void EnsureApplication(); // tests/ui/window_support.cpp: offscreen, a fixed font

inline QApplication& UiApplication() {
    EnsureApplication();
    return *static_cast<QApplication*>(QApplication::instance());
}

struct ModalRun {
    int result = -1;         // what exec() answered
    bool stayedOpen = false; // the dialog was still open after the operator's actions
};

// Runs `dialog` modally; `actions` run inside its event loop, as the operator's keys and clicks.
// A dialog that the actions leave open is noted and then cancelled, so the test goes on.
inline ModalRun RunModal(QDialog& dialog, const std::function<void()>& actions) {
    ModalRun run;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.activateWindow(); // keys go where the operator's would: to the focused control
        QTest::qWaitForWindowActive(&dialog);
        actions();
        if (dialog.isVisible()) {
            run.stayedOpen = true;
            dialog.reject();
        }
    });
    run.result = dialog.exec();
    return run;
}

// Writes the widget's picture to build/screenshots/<name>.
inline bool WriteScreenshot(QWidget& widget, const QString& name) {
    const QString dir = QStringLiteral(SEPMET_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    return widget.grab().save(dir + QLatin1Char('/') + name);
}

} // namespace sepmet::testing
