#include "resources/strings.h"
#include "tests/support/message_box_recorder.h"
#include "ui/dlg_settings.h"
#include "ui_state_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gmock/gmock.h>

namespace sepmet::testing {
namespace {

using ::testing::ElementsAre;

std::string Utf8(const QString& text) {
    return text.toStdString();
}

constexpr int kVw = 1017, kVg = 1019, kRhoG = 1018, kAtmP = 1020, kGasT = 1021;

class SettingsDialogTest : public ::testing::Test {
protected:
    QLineEdit& Edit(int id) { return *dialog.Edit(id); }
    QPushButton& Button(const char* text) {
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->text() == QString::fromUtf8(text))
                return *button;
        throw std::runtime_error("no such button");
    }
    // The operator selects what the edit holds and types over it.
    void Type(int id, const QString& text) {
        Edit(id).setFocus();
        Edit(id).selectAll();
        QTest::keyClick(&Edit(id), Qt::Key_Backspace);
        QTest::keyClicks(&Edit(id), text);
    }
    void TypeValidConditions() {
        Type(kVw, "250,5");
        Type(kVg, "12.25");
        Type(kRhoG, "0,7");
        Type(kAtmP, "99,8");
        Type(kGasT, "-3,5");
    }
    QStringList Shown() {
        QStringList texts;
        for (int id : {kVw, kVg, kRhoG, kAtmP, kGasT})
            texts << Edit(id).text();
        return texts;
    }

    QApplication& app = UiApplication(); // before any widget
    MeasurementSettings settings;
    MessageBoxRecorder boxes;
    DlgSettings dialog{nullptr, settings};
};

TEST_F(SettingsDialogTest, EveryRunShowsTheConditionsInEffectWithTheDecimalComma) {
    QStringList first;
    RunModal(dialog, [&] {
        first = Shown();
        Type(kVw, "77");
        QTest::keyClick(&Edit(kVw), Qt::Key_Escape);
    });
    EXPECT_EQ(first, QStringList({"0,000", "0,000", "0,000", "101,325", "20,0"}));

    settings = {1.5, 2.25, 0.68, 98.1, -4.3};
    QStringList second;
    QWidget* focused = nullptr;
    RunModal(dialog, [&] {
        second = Shown();
        focused = QApplication::focusWidget();
    });
    // The cancelled "77" is not shown again; the first edit has the focus.
    EXPECT_EQ(second, QStringList({"1,500", "2,250", "0,680", "98,100", "-4,3"}));
    EXPECT_EQ(focused, &Edit(kVw));
}

TEST_F(SettingsDialogTest, TabOrderIsTheTemplateOrder) {
    QStringList order;
    RunModal(dialog, [&] {
        for (int i = 0; i < 7; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    });
    EXPECT_EQ(order, QStringList({"control1017", "control1019", "control1018", "control1016",
                                  "control2", "control1020", "control1021"}));
}

TEST_F(SettingsDialogTest, ApplyTakesTheFiveConditions) {
    const ModalRun run = RunModal(dialog, [&] {
        TypeValidConditions();
        Button("Применить").click();
    });
    EXPECT_EQ(run.result, QDialog::Accepted);
    EXPECT_FALSE(run.stayedOpen);
    EXPECT_EQ(settings.vW, 250.5);
    EXPECT_EQ(settings.vG, 12.25);
    EXPECT_EQ(settings.rhoG, 0.7);
    EXPECT_EQ(settings.atmP, 99.8);
    EXPECT_EQ(settings.gasT, -3.5);
    EXPECT_TRUE(boxes.shown.empty());
}

// One condition typed in the water-volume field, the four others valid.
struct TypedCase {
    const char* text;
    bool accepted;
    double value;             // vW after an accepted Apply
    int messageId, captionId; // the message box of a refused one
    MessageIcon icon;
};

class TypedConditionTest : public SettingsDialogTest,
                           public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedConditionTest, WholeTextMustBeOneFiniteNumber) {
    const TypedCase& c = GetParam();
    QWidget* focused = nullptr;
    QString selected;
    const ModalRun run = RunModal(dialog, [&] {
        TypeValidConditions();
        Type(kVw, QString::fromUtf8(c.text));
        Button("Применить").setFocus(); // clicked as with the mouse: the button has the focus
        QTest::mouseClick(&Button("Применить"), Qt::LeftButton);
        focused = QApplication::focusWidget();
        selected = Edit(kVw).selectedText();
    });
    if (c.accepted) {
        EXPECT_EQ(run.result, QDialog::Accepted);
        EXPECT_FALSE(run.stayedOpen);
        EXPECT_DOUBLE_EQ(settings.vW, c.value);
        EXPECT_TRUE(boxes.shown.empty());
        return;
    }
    EXPECT_TRUE(run.stayedOpen);
    EXPECT_EQ(run.result, QDialog::Rejected);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, LoadString(c.messageId));
    EXPECT_EQ(boxes.shown[0].caption, LoadString(c.captionId));
    EXPECT_EQ(boxes.shown[0].icon, c.icon);
    EXPECT_EQ(boxes.shown[0].owner, reinterpret_cast<std::intptr_t>(&dialog));
    // The refused field has the focus and its whole text selected, to be typed over.
    EXPECT_EQ(focused, &Edit(kVw));
    EXPECT_EQ(selected, QString::fromUtf8(c.text));
    // Nothing is taken over from a refused Apply, not even the fields that did parse.
    EXPECT_EQ(settings.vW, 0);
    EXPECT_EQ(settings.vG, 0);
    EXPECT_EQ(settings.gasT, 20);
}

constexpr auto kWarn = MessageIcon::Warning;
constexpr auto kErr = MessageIcon::Error;
INSTANTIATE_TEST_SUITE_P(Texts, TypedConditionTest,
                         ::testing::Values(TypedCase{"   ", false, 0, 1036, 1037, kWarn},
                                           TypedCase{"", false, 0, 1036, 1037, kWarn},
                                           TypedCase{"abc", false, 0, 1038, 1039, kErr},
                                           TypedCase{"12abc", false, 0, 1038, 1039, kErr},
                                           TypedCase{"nan", false, 0, 1038, 1039, kErr},
                                           TypedCase{"inf", false, 0, 1038, 1039, kErr},
                                           TypedCase{"0x10", false, 0, 1038, 1039, kErr},
                                           TypedCase{"1,2.3", false, 0, 1038, 1039, kErr},
                                           TypedCase{"1e999", false, 0, 1038, 1039, kErr},
                                           TypedCase{"101.325", true, 101.325, 0, 0, kErr},
                                           TypedCase{"101,325", true, 101.325, 0, 0, kErr},
                                           TypedCase{"  101,325\t", true, 101.325, 0, 0, kErr},
                                           TypedCase{"1e3", true, 1000, 0, 0, kErr},
                                           TypedCase{"-0,5", true, -0.5, 0, 0, kErr},
                                           TypedCase{"0", true, 0, 0, 0, kErr}),
                         [](const ::testing::TestParamInfo<TypedCase>& info) {
                             return "Case" + std::to_string(info.index);
                         });

TEST_F(SettingsDialogTest, EmptyLastFieldWarnsToo) {
    const ModalRun run = RunModal(dialog, [&] {
        TypeValidConditions();
        Edit(kGasT).clear();
        Button("Применить").click();
    });
    EXPECT_TRUE(run.stayedOpen);
    EXPECT_THAT(boxes.Texts(), ElementsAre(LoadString(1036)));
    EXPECT_EQ(settings.vW, 0);
}

TEST_F(SettingsDialogTest, EnterInAnEditRunsApply) {
    const ModalRun good = RunModal(dialog, [&] {
        TypeValidConditions();
        QTest::keyClick(&Edit(kRhoG), Qt::Key_Return);
    });
    EXPECT_EQ(good.result, QDialog::Accepted);
    EXPECT_EQ(settings.rhoG, 0.7);

    const ModalRun bad = RunModal(dialog, [&] {
        Type(kAtmP, "12abc");
        QTest::keyClick(&Edit(kAtmP), Qt::Key_Enter, Qt::KeypadModifier);
    });
    EXPECT_TRUE(bad.stayedOpen);
    EXPECT_THAT(boxes.Texts(), ElementsAre(LoadString(1038)));
    EXPECT_EQ(settings.atmP, 99.8);
}

TEST_F(SettingsDialogTest, CancelEscapeAndCloseBoxChangeNothing) {
    const MeasurementSettings before = settings;
    const std::function<void()> ends[] = {
        [&] { Button("Отмена").click(); },
        [&] { QTest::keyClick(&Edit(kVg), Qt::Key_Escape); },
        [&] { dialog.close(); },
        [&] { // Enter on the focused "Отмена" presses it
            Button("Отмена").setFocus();
            QTest::keyClick(&Button("Отмена"), Qt::Key_Return);
        },
    };
    for (const auto& end : ends) {
        const ModalRun run = RunModal(dialog, [&] {
            TypeValidConditions();
            end();
        });
        EXPECT_EQ(run.result, QDialog::Rejected);
        EXPECT_FALSE(run.stayedOpen);
        EXPECT_EQ(settings.vW, before.vW);
        EXPECT_EQ(settings.atmP, before.atmP);
        EXPECT_EQ(settings.gasT, before.gasT);
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SettingsDialogTest, Screenshot) {
    settings = {250.5, 12.25, 0.6795, 101.325, 20};
    RunModal(dialog, [&] {
        EXPECT_EQ(dialog.windowTitle(), "Настройки");
        // Every label is shown whole, left of the edits, whatever the dialog font.
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << Utf8(label->text());
            EXPECT_LT(label->geometry().right(), Edit(kVw).x()) << Utf8(label->text());
        }
        EXPECT_LE(Button("Отмена").geometry().right(), dialog.width());
        EXPECT_TRUE(WriteScreenshot(dialog, "settings-dialog.png"));
    });
}

} // namespace
} // namespace sepmet::testing
