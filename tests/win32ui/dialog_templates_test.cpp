// The dialogs the dialog manager builds from the shared template data: every control with its
// id, window class, place in dialog units and tab order.
#include "resources/dialog_templates.h"
#include "ui/win32/dialog.h"
#include "win32_test_support.h"

#include <cwctype>
#include <gtest/gtest.h>
#include <string>

namespace sepmet::testing {
namespace {

using win32::DialogFrame;

// Any template shown as a bare dialog.
class BareDialog final : public win32::Dialog {
public:
    BareDialog(const DialogTemplate& dialog, DialogFrame frame) : Dialog(dialog, frame) {}
};

struct Case {
    const DialogTemplate& (*dialog)();
    DialogFrame frame;
};

class TemplateTest : public ::testing::TestWithParam<Case> {};

std::wstring ClassOf(HWND window) {
    wchar_t name[64]{};
    GetClassNameW(window, name, 64);
    std::wstring text(name);
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

TEST_P(TemplateTest, ControlsAsTheTemplateGivesThem) {
    const DialogTemplate& dialog = GetParam().dialog();
    BareDialog window(dialog, GetParam().frame);
    HWND parent = nullptr;
    if (GetParam().frame == DialogFrame::ChildPage) {
        parent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                 nullptr, nullptr);
    }
    ASSERT_TRUE(window.Create(parent));
    const HWND hwnd = window.hwnd();
    EXPECT_EQ(Text(hwnd), std::u16string(dialog.caption));

    RECT size{0, 0, dialog.width, dialog.height};
    MapDialogRect(hwnd, &size);
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    // Children in template order, which is the tab order.
    HWND child = GetWindow(hwnd, GW_CHILD);
    for (const DialogControl& control : dialog.controls) {
        ASSERT_TRUE(child) << control.id;
        EXPECT_EQ(GetDlgCtrlID(child), control.id);
        std::wstring expectedClass = win32::ClassOf(control.kind).className;
        for (wchar_t& c : expectedClass)
            c = static_cast<wchar_t>(std::towlower(c));
        EXPECT_EQ(ClassOf(child), expectedClass) << control.id;
        // Place and size each converted on its own, as the dialog manager does.
        RECT place{control.x, control.y, control.width, control.height};
        MapDialogRect(hwnd, &place);
        const RECT actual = ClientRectOf(hwnd, child);
        if (control.kind != ControlKind::Icon) { // an icon static takes its icon's size
            EXPECT_EQ(actual.left, place.left) << control.id;
            EXPECT_EQ(actual.top, place.top) << control.id;
            EXPECT_EQ(actual.right - actual.left, place.right) << control.id;
            EXPECT_EQ(actual.bottom - actual.top, place.bottom) << control.id;
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_FALSE(child) << "more children than the template holds";
    if (parent)
        DestroyWindow(parent);
}

INSTANTIATE_TEST_SUITE_P(Templates, TemplateTest,
                         ::testing::Values(Case{&MainDialogTemplate, DialogFrame::MainWindow},
                                           Case{&ComponentsPageTemplate, DialogFrame::ChildPage},
                                           Case{&MessagePageTemplate, DialogFrame::ChildPage},
                                           Case{&GradPageTemplate, DialogFrame::ChildPage},
                                           Case{&SettingsDialogTemplate, DialogFrame::Modal},
                                           Case{&CalcPageTemplate, DialogFrame::ChildPage},
                                           Case{&AboutDialogTemplate, DialogFrame::Modal}));

} // namespace
} // namespace sepmet::testing
