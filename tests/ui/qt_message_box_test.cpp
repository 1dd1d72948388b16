// With nobody else's message-box service installed, the loaded plug-in shows real message boxes
// over its main window.

#include "data/connection.h"
#include "plugin/exports.h"
#include "plugin/host_services.h"
#include "plugin/main_window.h"
#include "plugin/module_state.h"
#include "qtsupport/qt_message_box.h"
#include "tests/ui/window_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace sepmet::testing {
namespace {

// Once the next box runs its own loop, `read` gets it (and closes it); should no box come, it
// must still not wait for an operator forever.
void WhenTheBoxOpens(QObject& context, std::function<void(QMessageBox&)> read) {
    QTimer::singleShot(0, &context, [read = std::move(read)] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            read(*box);
    });
    QTimer::singleShot(5000, &context, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
}

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
        WhenTheBoxOpens(hostWindow, [&](QMessageBox& shown) {
            QMessageBox* const box = &shown;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            parent = box->parentWidget();
            box->button(QMessageBox::Ok)->click();
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

// A short text must not make the box narrower than its caption (the title bar would cut it).
TEST(QtMessageBoxes, BoxIsWideEnoughForItsCaption) {
    EnsureApplication();
    QWidget owner;
    QtMessageBoxService service;
    const QString caption = QStringLiteral("Плагин: Газ сепарации");
    int width = 0, captionWidth = 0;
    WhenTheBoxOpens(owner, [&](QMessageBox& shown) {
        QMessageBox* const box = &shown;
        QFont bold = box->font();
        bold.setBold(true);
        captionWidth = QFontMetrics(bold).horizontalAdvance(caption);
        width = box->width();
        SaveScreenshot(*box, "message_box_short_text");
        box->button(QMessageBox::Ok)->click();
    });
    service.Show(reinterpret_cast<std::intptr_t>(&owner), caption.toStdU16String(), u"Нет.",
                 MessageIcon::Error);
    // The caption plus the frame's icon and buttons (three title-bar heights at least).
    EXPECT_GE(width, captionWidth + 3 * 24);
}

// The question "--" asks: Yes and No, No the default, so Enter (or Escape) keeps the list.
TEST(QtMessageBoxes, QuestionDefaultsToNo) {
    EnsureApplication();
    QWidget owner;
    QtMessageBoxService service;
    for (const int key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Y}) {
        QMessageBox::StandardButtons buttons;
        QString text;
        WhenTheBoxOpens(owner, [&](QMessageBox& shown) {
            QMessageBox* const box = &shown;
            buttons = box->standardButtons();
            text = box->text();
            EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()),
                      box->button(QMessageBox::No));
            if (key == Qt::Key_Y)
                box->button(QMessageBox::Yes)->click();
            else
                QTest::keyClick(box, static_cast<Qt::Key>(key));
        });
        const bool yes =
            service.AskYesNo(reinterpret_cast<std::intptr_t>(&owner), u"Плагин: Газ сепарации",
                             u"Удалить все хроматограммы (3)?");
        EXPECT_EQ(yes, key == Qt::Key_Y) << key;
        EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(text, QStringLiteral("Удалить все хроматограммы (3)?"));
    }
}

} // namespace
} // namespace sepmet::testing
