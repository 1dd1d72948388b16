#pragma once
// What the host tests share: one QApplication for the whole run, temporary folders and
// screenshots.

#include <QApplication>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>

namespace sepmet::host::testing {

// The application object, created on first use and destroyed after the last test.
QApplication& Application();

// A fresh folder under the temporary folder, removed with the object.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    QString File(const char* name) const { return QString::fromStdString((path_ / name).string()); }

private:
    std::filesystem::path path_;
};

// Writes the widget's picture to SEPMET_SCREENSHOT_DIR/<name>.png.
void SaveScreenshot(QWidget& widget, const QString& name);

// Types `text` into the widget key by key, as an operator does (any script, not only Latin).
void TypeText(QWidget& widget, const QString& text);

// Runs the event loop until `done` or the time is up; the final value of `done`.
bool WaitFor(const std::function<bool()>& done, int milliseconds = 5000);

} // namespace sepmet::host::testing
