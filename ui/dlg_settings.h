#pragma once
// "Настройки": the modal dialog in which the operator types the five measurement conditions.

#include "calc/measurement_settings.h"

#include <QDialog>
#include <array>
#include <optional>
#include <string_view>

class QLineEdit;

namespace sepmet {

class DialogUnits;

// A condition as the operator typed it, already trimmed: the whole text must be one finite
// decimal number, with a decimal comma or a decimal point and an optional exponent ("1e3" is
// 1000). Nothing for anything else: "12abc", "abc", "nan", "inf", "0x10", "1,2,3", a number that
// overflows.
std::optional<double> ParseConditionText(std::u16string_view text);

class DlgSettings final : public QDialog {
    Q_OBJECT

public:
    // Built once by the main window, which runs it again at every "S". The dialog edits
    // `settings` (the process-wide conditions for the main window).
    DlgSettings(QWidget* parent, MeasurementSettings& settings);

    // The edit control of a template id (1017 vW, 1019 vG, 1018 rhoG, 1020 atmP, 1021 gasT).
    QLineEdit* Edit(int controlId) const;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FitLabels(const DialogUnits& units);
    void Fill();
    void Apply();
    std::intptr_t OwnerWord();

    MeasurementSettings& settings_;
    std::array<QLineEdit*, 5> edits_{}; // vW, vG, rhoG, atmP, gasT: the order Apply reads them
};

} // namespace sepmet
