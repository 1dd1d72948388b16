#include "tests/host/host_test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPixmap>
#include <QThread>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace sepmet::host::testing {
namespace {

int argumentCount = 1;
char programName[] = "host_tests";
char* arguments[] = {programName, nullptr};
QApplication* application = nullptr;

class ApplicationEnvironment : public ::testing::Environment {
public:
    void TearDown() override {
        delete application;
        application = nullptr;
    }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace

QApplication& Application() {
    if (!application) {
        application = new QApplication(argumentCount, arguments);
        application->setQuitOnLastWindowClosed(false);
    }
    return *application;
}

void SaveScreenshot(QWidget& widget, const QString& name) {
    const QString folder = QStringLiteral(SEPMET_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    EXPECT_TRUE(widget.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png")))
        << name.toStdString();
}

void TypeText(QWidget& widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&widget, &release);
    }
}

bool WaitFor(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return done();
}

std::map<std::u16string, std::u16string> StoredProfileValues(const std::filesystem::path& file,
                                                             const std::u16string& database) {
    std::map<std::u16string, std::u16string> values;
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT key, CAST(value AS TEXT) FROM profile_value WHERE database = ?",
                       -1, &select, nullptr);
    sqlite3_bind_text16(select, 1, database.c_str(), -1, SQLITE_TRANSIENT);
    while (select && sqlite3_step(select) == SQLITE_ROW)
        values[static_cast<const char16_t*>(sqlite3_column_text16(select, 0))] =
            static_cast<const char16_t*>(sqlite3_column_text16(select, 1));
    sqlite3_finalize(select);
    sqlite3_close(db);
    return values;
}

} // namespace sepmet::host::testing
