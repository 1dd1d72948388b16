#include "ui/window_audit.h"

#include "plugin/profile.h"
#include "plugin/startup_messages.h"
#include "qtsupport/qt_text.h"
#include "ui/dlg_main.h"

#include <QMessageBox>

namespace sepmet {
namespace {

void ShowNotice(QWidget* window, const audit::AuditFailure& failure) {
    auto* box = new QMessageBox(QMessageBox::Warning, ToQString(kPluginMessageCaption),
                                ToQString(audit::NoticeText(failure)), QMessageBox::Ok, window);
    box->setObjectName(WindowAudit::kNoticeName);
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

} // namespace

WindowAudit::WindowAudit(DlgMain& window, std::string path)
    : QObject(&window), trail_(std::move(path), [&window](const audit::AuditFailure& failure) {
          ShowNotice(&window, failure);
      }) {
    trail_.AttachTo(window.Report());
    window.Session().SetListener(this);
}

void WindowAudit::Install(DlgMain& window) {
    if (window.findChild<WindowAudit*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    new WindowAudit(window, audit::WindowStorePath(ProfileGetString(u"", kProfileValue, u"")));
}

void WindowAudit::Recalculated(const DeterminationSession& session, const CommandResult& result) {
    trail_.CommandGiven(AuditCommandName(result.command));
    trail_.Recalculated(session.Assays(), session.State(), session.Readiness(),
                        session.MessageLines());
}

} // namespace sepmet
