#pragma once
// The plug-in's string table: every text the operator sees, by its numeric id.

#include <string>
#include <string_view>

namespace sepmet {

namespace StringId {
enum : int {
    MenuPath = 1002, // "Данные/Расчёты/Метанол в газе сепарации"
    Methanol = 1003, // component name
    AboutMenuItem = 1004, // "О плагине"
    TipAdd = 1005,
    TipRemoveSelected = 1006,
    TipRemoveAll = 1007,
    TipOpen = 1008,
    TipRecalculate = 1009,
    TipSettings = 1010,
    TipReport = 1011,
    TabComponents = 1012,
    TabCalc = 1013,
    TabGrad = 1014, // also the type text "Градуировка"
    TabMessages = 1015,
    CalibrationMarker = 1016, // "град"
    AbsorptionMarker = 1017,  // "поглот"
    ErrEmptyList = 1018,
    ErrTooFewCalibration = 1019,
    ErrTooManyCalibration = 1020,
    ErrTooFewAbsorption = 1021,
    ErrTooManyAbsorption = 1022,
    WarnRepeatability = 1023,
    ErrBadConditions = 1024,
    WarnNoCalibration = 1025,
    ErrConcentrationCount = 1026, // "%s"
    ErrTwoChromatograms = 1027,   // "%.2f"
    ErrDeviation = 1028,          // "%.2f"
    ErrCriticalRange = 1029,
    AboutStandard = 1030,
    HeadNoErrors = 1031,
    HeadErrors = 1032,
    HeadNoWarnings = 1033,
    HeadWarnings = 1034,
    HeadInformation = 1035,
    SettingsFillAll = 1036,
    SettingsWarningCaption = 1037,
    SettingsNotNumber = 1038,
    SettingsErrorCaption = 1039,
    ColNumber = 1040,
    ColComponent = 1041,
    ColCalibrationK = 1042,
    ColMassConcentration = 1043,
    ColMassFraction = 1044,
    ColMolarFraction = 1045,
    ColFileName = 1046,
    ColSample = 1047,
    ColAssayType = 1048,
    ColMixture = 1049,
    TypeAnalysis = 1050,       // "Анализ"
    TypeCheck = 1051,          // "Проверка"
    ReportFailed = 1052,       // "%s"
    ReportFailedCode = 1053,   // "%d", "%s"
    TemplateFailed = 1054,     // "%s"
    TemplateFailedCode = 1055, // "%d", "%s"
    ColPeakArea = 1056,
    ColRetentionTime = 1057,
    TipAbout = 1058,
    ErrTooFewAbsorptionPeaks = 1080, // "%d": fewer methanol peaks than the content test reads
    TipKeptResult = 1090,            // tooltip of result rows kept from an earlier recalculation
    ReportNotOpened = 1095,          // "%s": the report file's path
};
}

// The text of a string resource; an unknown id gives the empty text.
std::u16string_view LoadString(int id);

} // namespace sepmet
