#pragma once
// The control ids of the dialog templates, named once for the templates and the windows built
// from them. Ids repeat between dialogs, so each dialog has its own names.

namespace sepmet::ControlId {

// Template 1000, the main window.
namespace Main {
inline constexpr int Add = 1000;            // "+"
inline constexpr int RemoveSelected = 1001; // "-"
inline constexpr int RemoveAll = 1002;      // "--"
inline constexpr int Open = 1003;           // "*"
inline constexpr int Reload = 1004;         // "R"
inline constexpr int Report = 1005;         // "->"
inline constexpr int AssayList = 1006;
inline constexpr int Tabs = 1007;
inline constexpr int Settings = 1008; // "S"
inline constexpr int About = 1022;    // "i"
} // namespace Main

// Templates 1011, 1015, 1017 and 1024, the result pages.
namespace Page {
inline constexpr int PeakGrid = 1009;    // "Инф. с хром."
inline constexpr int MessageList = 1014; // "Сист. сообщения"
inline constexpr int ResultGrid = 1015;  // "Градуировка", "Расчет"
} // namespace Page

// Template 1020, the settings dialog.
namespace Settings {
inline constexpr int Cancel = 2;
inline constexpr int Apply = 1016;
inline constexpr int VW = 1017;
inline constexpr int RhoG = 1018;
inline constexpr int VG = 1019;
inline constexpr int AtmP = 1020;
inline constexpr int GasT = 1021;
} // namespace Settings

// Template 1028, the about box.
namespace About {
inline constexpr int Ok = 1;
inline constexpr int Icon = 1020;
inline constexpr int Text = 1021;
inline constexpr int Description = 1023;
inline constexpr int Version = 1024;
inline constexpr int Copyright = 1025;
inline constexpr int Developers = 1026;
} // namespace About

} // namespace sepmet::ControlId
