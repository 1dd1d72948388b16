#pragma once
// What the host tests share: one QApplication for the whole run, temporary folders and
// screenshots.

#include "tests/support/temporary_folder.h"

#include <QApplication>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

namespace sepmet::host::testing {

// The application object, created on first use and destroyed after the last test.
QApplication& Application();

using sepmet::testing::TemporaryFolder;

// The path of `name` inside `folder`, as the host's Qt calls take it.
inline QString FileIn(const TemporaryFolder& folder, const char* name) {
    return QString::fromStdString(folder.File(name));
}

// Writes the widget's picture to SEPMET_SCREENSHOT_DIR/<name>.png.
void SaveScreenshot(QWidget& widget, const QString& name);

// Types `text` into the widget key by key, as an operator does (any script, not only Latin).
void TypeText(QWidget& widget, const QString& text);

// Every value a profile file holds for `database`, as text by key, read through a connection of
// its own (so only what was committed).
std::map<std::u16string, std::u16string> StoredProfileValues(const std::filesystem::path& file,
                                                             const std::u16string& database);

// Runs the event loop until `done` or the time is up; the final value of `done`.
bool WaitFor(const std::function<bool()>& done, int milliseconds = 5000);

} // namespace sepmet::host::testing
