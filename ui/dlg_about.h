#pragma once
// "О плагине": the plug-in's icon, vendor, name, version and copyright, and the standard the
// calculation follows.

#include <QDialog>

class QPlainTextEdit;

namespace sepmet {

class DialogUnits;

class DlgAbout final : public QDialog {
    Q_OBJECT

public:
    explicit DlgAbout(QWidget* parent);

    // The read-only text (control 1021).
    QString text() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FitTexts(const DialogUnits& units);

    QPlainTextEdit* text_ = nullptr;
    QWidget* okButton_ = nullptr;
};

} // namespace sepmet
