#include "tests/host/session_folder.h"

#include "demo/demo_database.h"
#include "host/host_window.h"

#include <QApplication>

namespace sepmet::host::testing {

QWidget* PlugInWindow(HostSession& session) {
    QWidget* central = session.window() ? session.window()->centralWidget() : nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (central && widget->isVisible() && widget->parentWidget() == central)
            return widget;
    return nullptr;
}

QAbstractButton* ButtonWithTooltip(QWidget& window, const QString& tooltip) {
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>())
        if (button->toolTip() == tooltip)
            return button;
    return nullptr;
}

void SessionFolderTest::SetUp() {
    Application();
    plugins = folder.File("plugins");
    std::filesystem::create_directories(plugins);
    std::filesystem::copy_file(SEPMET_MODULE_PATH, plugins / "sepmet.so");
    ASSERT_EQ(demo::WriteDemoDatabase(folder.File("demo.sqlite")), "");
}

SessionSettings SessionFolderTest::Settings(bool demo) const {
    return {FileIn(folder, "demo.sqlite"), FileIn(folder, "profile.sqlite"),
            QString::fromStdString(plugins.string()), demo};
}

} // namespace sepmet::host::testing
