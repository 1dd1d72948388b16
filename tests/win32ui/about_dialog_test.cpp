// "О плагине" run modally and driven by control id.
#include "resources/strings.h"
#include "ui/win32/dlg_about.h"
#include "win32_test_support.h"

#include <gtest/gtest.h>

namespace sepmet::testing {
namespace {

TEST(Win32AboutDialog, ShowsThePluginAndTheStandard) {
    win32::DlgAbout about;
    const ModalOutcome outcome =
        DriveModal([&] { return about.RunModal(nullptr); },
                   [](HWND d) {
                       EXPECT_EQ(Text(d), u"О плагине");
                       EXPECT_EQ(Text(GetDlgItem(d, 1021)), LoadString(StringId::AboutStandard));
                       EXPECT_EQ(Text(GetDlgItem(d, 1024)), u"sepmet 1 Версия: 1.0.2.0");
                       EXPECT_TRUE(SendMessageW(d, WM_GETICON, ICON_BIG, 0));
                       EXPECT_TRUE(SendMessageW(d, WM_GETICON, ICON_SMALL, 0));
                       // The picture: icon 1027 at 80 x 80 (96 DPI), the static sized to it.
                       EXPECT_TRUE(SendDlgItemMessageW(d, 1020, STM_GETICON, 0, 0));
                       const HDC dc = GetDC(d);
                       const int expected = MulDiv(80, GetDeviceCaps(dc, LOGPIXELSX), 96);
                       ReleaseDC(d, dc);
                       RECT picture;
                       GetClientRect(GetDlgItem(d, 1020), &picture);
                       EXPECT_EQ(picture.right, expected);
                       EXPECT_EQ(picture.bottom, expected);
                       EXPECT_EQ(GetFocus(), GetDlgItem(d, IDOK)); // the first tab stop
                       ExpectTextsFit(d);
                       EXPECT_TRUE(WriteScreenshot(d, "about"));
                       Click(d, IDOK);
                   });
    EXPECT_FALSE(outcome.stayedOpen);
    EXPECT_EQ(outcome.result, IDOK);
}

TEST(Win32AboutDialog, EnterAcceptsEscapeAndCloseBoxCancel) {
    struct Case {
        const char* what;
        void (*act)(HWND);
        INT_PTR result;
    };
    const Case cases[] = {
        {"Enter", [](HWND) { PressKey(GetFocus(), VK_RETURN); }, IDOK},
        {"Escape", [](HWND) { PressKey(GetFocus(), VK_ESCAPE); }, IDCANCEL},
        {"close box", [](HWND d) { SendMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
    };
    for (const Case& c : cases) {
        win32::DlgAbout about;
        const ModalOutcome outcome = DriveModal([&] { return about.RunModal(nullptr); }, c.act);
        EXPECT_FALSE(outcome.stayedOpen) << c.what;
        EXPECT_EQ(outcome.result, c.result) << c.what;
    }
}

} // namespace
} // namespace sepmet::testing
