#pragma once
// The message boxes of the plug-in itself: no owner, error icon, one caption.

#include <string_view>

namespace sepmet {

inline constexpr std::u16string_view kPluginMessageCaption = u"Плагин: Газ сепарации";
inline constexpr std::u16string_view kNoCreateNewMenu = u"CreateNewMenu service not found.";
inline constexpr std::u16string_view kNoOpenAssayIdDlg = u"OpenAssayIdDlg service not found.";
inline constexpr std::u16string_view kNoGetDbUri = u"GetDbUri service not found.";

void ShowPluginError(std::u16string_view text);

} // namespace sepmet
