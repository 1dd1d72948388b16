#pragma once
// The main window's audit trail: learns the operator's commands from the window's buttons,
// records the recalculation each one causes and every report, and shows the session's one
// notice in a window that blocks nothing.

#include "audit/window_audit.h"

#include <QObject>
#include <string>
#include <vector>

namespace sepmet {

class DlgMain;

class WindowAudit final : public QObject {
    Q_OBJECT
public:
    // Gives `window` its trail, a child object of the window: the store named by the profile
    // value "AuditFile" (an absolute path), else the default store. Called once the buttons and
    // the report generator exist, before the first recalculation.
    static void Install(DlgMain& window);
    // Records the recalculation `window` has just run; nothing when it has no trail.
    static void Recalculated(DlgMain& window, const std::vector<std::u16string>& messages);

    // The profile value naming the window's store.
    static constexpr std::u16string_view kProfileValue = u"AuditFile";
    // The profile value that, set to 1, makes a report depend on its event being recorded.
    static constexpr std::u16string_view kRequiredProfileValue = u"AuditRequired";
    // The object name of the notice window.
    static constexpr const char* kNoticeName = "sepmetAuditNotice";

private:
    WindowAudit(DlgMain& window, std::string path, bool reportRequired);

    audit::WindowAuditTrail trail_;
};

} // namespace sepmet
