#pragma once
// "Настройки": the modal dialog in which the operator types the five measurement conditions.

#include "calc/measurement_settings.h"

#include <QDialog>
#include <array>

class QLineEdit;

namespace sepmet {

class DialogUnits;

class DlgSettings final : public QDialog {
    Q_OBJECT

public:
    // Built once by the main window, which runs it again at every "S". The dialog shows and, on
    // OK, writes `settings`; the texts are checked by the session's condition parser.
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
