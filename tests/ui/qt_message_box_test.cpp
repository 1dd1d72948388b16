// With nobody else's message-box service installed, the loaded plug-in shows real message boxes
// over its main window.

#include "data/connection.h"
#include "plugin/exports.h"
#include "plugin/host_services.h"
#include "plugin/main_window.h"
#include "plugin/module_state.h"
#include "tests/ui/window_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace sepmet::testing {
namespace {

TEST(QtMessageBoxes, DatabaseErrorIsABoxOverTheMainWindow) {
    EnsureApplication();
    ResetModuleState();
    DataBase::DeleteConnection();
    {
        QWidget hostWindow;
        auto* menuParent = new QWidget(&hostWindow);
        FakeHost host;
        host.OfferAll(u"/nonexistent/sepmet-analysis.db");
        host.pickerIds() = {1};
        Load(host.api());
        host.FireEvent(HostService::ModulesLoaded);
        host.ChooseMenuItem(reinterpret_cast<HostWord>(menuParent));
        auto* window = dynamic_cast<DlgMain*>(Module().mainDialog);
        ASSERT_NE(window, nullptr);

        QString title, text, parentName;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QWidget* parent = nullptr;
        // The box runs its own loop; the operator reads it and presses OK.
        QTimer::singleShot(0, &hostWindow, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            parent = box->parentWidget();
            box->button(QMessageBox::Ok)->click();
        });
        // Should the box not be found, it must still not wait for an operator forever.
        QTimer::singleShot(5000, &hostWindow, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        window->Button(1000)->click();
        EXPECT_EQ(title, QStringLiteral("Плагин: Газ сепарации"));
        EXPECT_EQ(text, QStringLiteral("unable to open database file"));
        EXPECT_EQ(icon, QMessageBox::Critical);
        EXPECT_EQ(parent, window);
        Unload();
    }
    ResetModuleState();
    DataBase::DeleteConnection();
}

} // namespace
} // namespace sepmet::testing
