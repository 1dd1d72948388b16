#include "resources/strings.h"
#include "ui/dlg_about.h"
#include "ui_state_support.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace sepmet::testing {
namespace {

class AboutDialogTest : public ::testing::Test {
protected:
    QApplication& app = UiApplication(); // before any widget
    QWidget parent;
};

TEST_F(AboutDialogTest, ShowsThePluginAndTheStandard) {
    DlgAbout about(&parent);
    EXPECT_EQ(about.windowTitle(), "О плагине");
    EXPECT_EQ(about.text().toStdU16String(), LoadString(StringId::AboutStandard));
    auto* text = about.findChild<QPlainTextEdit*>("control1021");
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->frameShape(), QFrame::NoFrame);
    EXPECT_NE(text->focusPolicy() & Qt::TabFocus, 0);

    auto* picture = about.findChild<QLabel*>("control1020");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), QSize(80, 80));
    EXPECT_EQ(picture->pixmap().size(), QSize(80, 80));
    EXPECT_FALSE(about.windowIcon().isNull());

    EXPECT_EQ(about.findChild<QLabel*>("control1024")->text(), "sepmet 1 Версия: 1.0.2.0");
    EXPECT_EQ(about.findChild<QLabel*>("control1023")->text(),
              "Разработчики sepmet: Метанол в газе сепарации");
}

TEST_F(AboutDialogTest, OkAndEnterAcceptEscapeAndCloseBoxCancel) {
    struct Case {
        const char* what;
        std::function<void(DlgAbout&)> act;
        int result;
    };
    const Case cases[] = {
        {"OK", [](DlgAbout& d) { d.findChild<QPushButton*>("control1")->click(); },
         QDialog::Accepted},
        {"Enter", [](DlgAbout&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); },
         QDialog::Accepted},
        {"Escape", [](DlgAbout&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); },
         QDialog::Rejected},
        {"close box", [](DlgAbout& d) { d.close(); }, QDialog::Rejected},
    };
    for (const Case& c : cases) {
        DlgAbout about(&parent);
        QWidget* focused = nullptr;
        const ModalRun run = RunModal(about, [&] {
            focused = QApplication::focusWidget();
            c.act(about);
        });
        EXPECT_FALSE(run.stayedOpen) << c.what;
        EXPECT_EQ(run.result, c.result) << c.what;
        EXPECT_EQ(focused, about.findChild<QPushButton*>("control1")) << c.what;
    }
}

TEST_F(AboutDialogTest, Screenshot) {
    DlgAbout about(&parent);
    RunModal(about, [&] { EXPECT_TRUE(WriteScreenshot(about, "about-dialog.png")); });
}

} // namespace
} // namespace sepmet::testing
