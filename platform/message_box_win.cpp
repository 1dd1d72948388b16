#include "platform/message_box_win.h"

#include <string>
#include <windows.h>

namespace sepmet {

void WindowsMessageBoxService::Show(std::intptr_t owner, std::u16string_view caption,
                                    std::u16string_view text, MessageIcon icon) {
    const UINT type = icon == MessageIcon::Error     ? MB_ICONERROR
                      : icon == MessageIcon::Warning ? MB_ICONWARNING
                                                     : MB_ICONINFORMATION;
    const std::wstring captionText(caption.begin(), caption.end());
    const std::wstring bodyText(text.begin(), text.end());
    MessageBoxW(reinterpret_cast<HWND>(owner), bodyText.c_str(), captionText.c_str(), MB_OK | type);
}

bool WindowsMessageBoxService::AskYesNo(std::intptr_t owner, std::u16string_view caption,
                                        std::u16string_view text) {
    const std::wstring captionText(caption.begin(), caption.end());
    const std::wstring bodyText(text.begin(), text.end());
    return MessageBoxW(reinterpret_cast<HWND>(owner), bodyText.c_str(), captionText.c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

} // namespace sepmet
