// sepmet-host as a program: --help and --version without any display, and a signal that ends
// the host as closing its window does (the plug-in's window saved, exit status 0).
#include "demo/demo_database.h"
#include "host/host_session.h"
#include "host/profile_store.h"
#include "tests/host/host_test_support.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace sepmet::host::testing {
namespace {

QProcessEnvironment WithoutDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

TEST(HostProgram, HelpAndVersionNeedNoDisplay) {
    const struct {
        const char* argument;
        const char* printed;
    } cases[] = {{"--help", "--open MENU-PATH"},
                 {"-h", "Usage: sepmet-host"},
                 {"--version", "sepmet-host 1.0.2.0"}};
    for (const auto& c : cases) {
        QProcess host;
        host.setProcessEnvironment(WithoutDisplay());
        host.start(QStringLiteral(SEPMET_HOST_PATH), {QString::fromLatin1(c.argument)});
        ASSERT_TRUE(host.waitForFinished(10000)) << c.argument;
        EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(host.exitCode(), 0) << c.argument;
        EXPECT_TRUE(QString::fromUtf8(host.readAllStandardOutput()).contains(c.printed))
            << c.argument;
    }
    QProcess wrong;
    wrong.setProcessEnvironment(WithoutDisplay());
    wrong.start(QStringLiteral(SEPMET_HOST_PATH), {QStringLiteral("--db")});
    ASSERT_TRUE(wrong.waitForFinished(10000));
    EXPECT_EQ(wrong.exitCode(), 2);
    EXPECT_TRUE(QString::fromUtf8(wrong.readAllStandardError()).contains("--db needs a value"));
}

TEST(HostProgram, SigtermEndsTheHostCleanlyWithThePlugInWindowSaved) {
    TemporaryFolder folder;
    ASSERT_EQ(demo::WriteDemoDatabase(folder.File("demo.sqlite")), "");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), FileIn(folder, "config"));
    QProcess host;
    host.setProcessEnvironment(environment);
    host.start(QStringLiteral(SEPMET_HOST_PATH),
               {QStringLiteral("--db"), FileIn(folder, "demo.sqlite"), QStringLiteral("--profile"),
                FileIn(folder, "profile.sqlite"), QStringLiteral("--plugins"),
                QStringLiteral(SEPMET_PLUGIN_FOLDER), QStringLiteral("--open"),
                QStringLiteral("Данные/Расчёты/Метанол в газе сепарации")});
    ASSERT_TRUE(host.waitForStarted(10000));
    // The plug-in's window is open once the plug-in has read its state from the profile; the
    // profile then exists. A short wait more lets the window settle.
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(FileIn(folder, "profile.sqlite")); }, 10000));
    WaitFor([] { return false; }, 1500);
    host.terminate(); // SIGTERM
    ASSERT_TRUE(host.waitForFinished(10000));
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();

    std::string error;
    auto profile = ProfileStore::Open(folder.File("profile.sqlite"), error);
    ASSERT_TRUE(profile) << error;
    profile->SelectDatabase(DatabaseKey(FileIn(folder, "demo.sqlite")).toStdU16String());
    // Closing the window (by Unload) wrote its conditions: the defaults of a first opening.
    EXPECT_EQ(profile->GetDouble(u"plugins\\sepmet\\/atmP"), 101.325);
    EXPECT_EQ(profile->GetDouble(u"plugins\\sepmet\\/gasT"), 20.0);
}

} // namespace
} // namespace sepmet::host::testing
