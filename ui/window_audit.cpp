#include "ui/window_audit.h"

#include "calc/calculation_state.h"
#include "plugin/profile.h"
#include "plugin/startup_messages.h"
#include "ui/dlg_main.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <string_view>

namespace sepmet {
namespace {

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The buttons whose commands end in a recalculation, by control id, and the names the trail
// records them by.
struct CommandButton {
    int controlId;
    std::string_view command;
};

constexpr CommandButton kCommandButtons[] = {
    {1000, audit::kCommandAdd},    {1001, audit::kCommandRemove},   {1002, audit::kCommandClear},
    {1004, audit::kCommandReload}, {1008, audit::kCommandSettings},
};

void ShowNotice(QWidget* window, const audit::AuditFailure& failure) {
    auto* box = new QMessageBox(QMessageBox::Warning, ToQString(kPluginMessageCaption),
                                ToQString(audit::NoticeText(failure)), QMessageBox::Ok, window);
    box->setObjectName(WindowAudit::kNoticeName);
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

} // namespace

WindowAudit::WindowAudit(DlgMain& window, std::string path, bool reportRequired)
    : QObject(&window),
      trail_(
          std::move(path),
          [&window](const audit::AuditFailure& failure) { ShowNotice(&window, failure); },
          reportRequired) {
    trail_.AttachTo(window.Report());
    for (const CommandButton& button : kCommandButtons)
        if (QAbstractButton* widget = window.Button(button.controlId))
            // Pressed comes before the click that runs the command and its recalculation.
            connect(widget, &QAbstractButton::pressed, this,
                    [this, command = button.command] { trail_.CommandGiven(command); });
}

void WindowAudit::Install(DlgMain& window) {
    if (window.findChild<WindowAudit*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    new WindowAudit(window, audit::WindowStorePath(ProfileGetString(u"", kProfileValue, u"")),
                    ProfileGetInt(u"", kRequiredProfileValue, 0) == 1);
}

void WindowAudit::Recalculated(DlgMain& window, const std::vector<std::u16string>& messages) {
    if (auto* audit = window.findChild<WindowAudit*>(QString(), Qt::FindDirectChildrenOnly))
        audit->trail_.Recalculated(window.Assays(), ProcessCalculationState(), window.Flags(),
                                   messages);
}

} // namespace sepmet
