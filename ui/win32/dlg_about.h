#pragma once
// "О плагине": the plug-in's icon, vendor, name, version, copyright and the standard the
// calculation follows. Built, run modally and destroyed on each request.

#include "ui/win32/dialog.h"

namespace sepmet::win32 {

class DlgAbout final : public Dialog {
public:
    DlgAbout();

protected:
    bool OnInitDialog() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HICON picture_ = nullptr; // icon 1027 at the picture's size, owned by this run
};

} // namespace sepmet::win32
