// "Настройки" run modally: the edits filled and Apply pressed as the operator does, the texts
// handed on in field order, refusals shown through the message-box interface.
#include "../support/message_box_recorder.h"
#include "resources/strings.h"
#include "ui/win32/dlg_settings.h"
#include "win32_test_support.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace sepmet::testing {
namespace {

using win32::DlgSettings;
using win32::SettingsRefusal;
using win32::SettingsTexts;

constexpr int kVW = 1017, kVG = 1019, kRhoG = 1018, kAtmP = 1020, kGasT = 1021;

class Win32SettingsDialog : public ::testing::Test {
protected:
    // Answers Apply with `answer` and records what it was given.
    DlgSettings Dialog() {
        return DlgSettings([this] { return shown; },
                           [this](const SettingsTexts& texts) {
                               applied.push_back(texts);
                               return answer;
                           });
    }

    MessageBoxRecorder boxes;
    SettingsTexts shown{u"0,000", u"0,000", u"0,000", u"101,325", u"20,0"};
    std::optional<SettingsRefusal> answer;
    std::vector<SettingsTexts> applied;
};

TEST_F(Win32SettingsDialog, ShowsTheConditionsAndAppliesWhatIsTyped) {
    DlgSettings dialog = Dialog();
    const ModalOutcome outcome = DriveModal([&] { return dialog.RunModal(nullptr); },
                                            [](HWND d) {
                                                EXPECT_EQ(Text(d), u"Настройки");
                                                EXPECT_EQ(Text(GetDlgItem(d, kAtmP)), u"101,325");
                                                EXPECT_EQ(Text(GetDlgItem(d, kGasT)), u"20,0");
                                                EXPECT_EQ(GetFocus(), GetDlgItem(d, kVW));
                                                ExpectTextsFit(d);
                                                EXPECT_TRUE(WriteScreenshot(d, "settings"));
                                                SetText(GetDlgItem(d, kVW), u"100");
                                                SetText(GetDlgItem(d, kVG), u" 10 ");
                                                SetText(GetDlgItem(d, kRhoG), u"0,7");
                                                Click(d, DlgSettings::kApplyId);
                                            });
    EXPECT_EQ(outcome.result, IDOK);
    EXPECT_FALSE(outcome.stayedOpen);
    ASSERT_EQ(applied.size(), 1u);
    // Field order vW, vG, rhoG, atmP, gasT, whatever the controls' order; texts as typed.
    EXPECT_EQ(applied[0], (SettingsTexts{u"100", u" 10 ", u"0,7", u"101,325", u"20,0"}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Win32SettingsDialog, RefusedApplyWarnsAndStaysOpenOnTheField) {
    struct Case {
        SettingsRefusal refusal;
        int focused;
        std::u16string caption, text;
        MessageIcon icon;
    };
    const Case cases[] = {
        {{SettingsRefusal::Reason::Empty, 2},
         kRhoG,
         u"Предупреждение",
         u"Заполните все поля: V воды, V газа, плотность газа.",
         MessageIcon::Warning},
        {{SettingsRefusal::Reason::NotNumber, 4},
         kGasT,
         u"Ошибка",
         u"Некорректное значение. Введите числа.",
         MessageIcon::Error},
    };
    for (const Case& c : cases) {
        boxes.shown.clear();
        answer = c.refusal;
        DlgSettings dialog = Dialog();
        HWND focus = nullptr;
        const ModalOutcome outcome =
            DriveModal([&] { return dialog.RunModal(nullptr); },
                       [&](HWND d) {
                           SetText(GetDlgItem(d, kGasT), u"abc");
                           Click(d, DlgSettings::kApplyId);
                           focus = GetFocus() == GetDlgItem(d, c.focused) ? GetFocus() : nullptr;
                           EXPECT_EQ(Text(GetDlgItem(d, kGasT)), u"abc"); // the text as typed
                       });
        EXPECT_TRUE(outcome.stayedOpen);
        EXPECT_TRUE(focus) << c.focused;
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].caption, c.caption);
        EXPECT_EQ(boxes.shown[0].text, c.text);
        EXPECT_EQ(boxes.shown[0].icon, c.icon);
        EXPECT_NE(boxes.shown[0].owner, 0);
    }
}

TEST_F(Win32SettingsDialog, EnterAppliesCancelChangesNothing) {
    {
        DlgSettings dialog = Dialog();
        const ModalOutcome outcome =
            DriveModal([&] { return dialog.RunModal(nullptr); },
                       [](HWND d) { PressKey(GetDlgItem(d, kVW), VK_RETURN); });
        EXPECT_EQ(outcome.result, IDOK);
        EXPECT_EQ(applied.size(), 1u); // Enter read and checked the texts
    }
    applied.clear();
    for (void (*act)(HWND) : {+[](HWND d) { Click(d, IDCANCEL); },
                              +[](HWND d) { PressKey(GetDlgItem(d, kVW), VK_ESCAPE); },
                              +[](HWND d) { SendMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }}) {
        DlgSettings dialog = Dialog();
        const ModalOutcome outcome = DriveModal([&] { return dialog.RunModal(nullptr); },
                                                [&](HWND d) {
                                                    SetText(GetDlgItem(d, kVW), u"5");
                                                    act(d);
                                                });
        EXPECT_EQ(outcome.result, IDCANCEL);
        EXPECT_TRUE(applied.empty());
    }
    // A cancelled run's text is gone at the next run.
    DlgSettings dialog = Dialog();
    DriveModal([&] { return dialog.RunModal(nullptr); },
               [](HWND d) {
                   EXPECT_EQ(Text(GetDlgItem(d, kVW)), u"0,000");
                   Click(d, IDCANCEL);
               });
}

} // namespace
} // namespace sepmet::testing
