#pragma once
// "Настройки": the modal dialog in which the operator types the five measurement conditions.
// The dialog only shows texts and hands them on: whoever runs it decides what is accepted.

#include "ui/win32/dialog.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace sepmet::win32 {

// The texts of the five edits, in the order the dialog reads them: vW, vG, rhoG, atmP, gasT.
using SettingsTexts = std::array<std::u16string, 5>;

// Why Apply was refused, and the first field (index into SettingsTexts) that caused it.
struct SettingsRefusal {
    enum class Reason { Empty, NotNumber };
    Reason reason;
    std::size_t field;
};

class DlgSettings final : public Dialog {
public:
    // `shown`: the texts of the conditions in effect, read at every run. `apply`: takes the
    // texts as typed; nothing when they were taken over, then the dialog ends with IDOK.
    using Shown = std::function<SettingsTexts()>;
    using Apply = std::function<std::optional<SettingsRefusal>(const SettingsTexts&)>;
    DlgSettings(Shown shown, Apply apply);

    // The edit control ids in field order (1017 vW, 1019 vG, 1018 rhoG, 1020 atmP, 1021 gasT).
    static constexpr std::array<int, 5> kEditIds{1017, 1019, 1018, 1020, 1021};
    static constexpr int kApplyId = 1016;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    // Enter in an edit: the dialog has no default button, so the dialog manager sends IDOK.
    // It applies what was typed rather than ending with the conditions unchanged.
    void OnOK() override { OnApply(); }

private:
    void OnApply();

    Shown shown_;
    Apply apply_;
};

} // namespace sepmet::win32
