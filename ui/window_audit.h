#pragma once
// The main window's audit trail: listens to the window's session, records the recalculation each
// command causes and every report, and shows the session's one notice in a window that blocks
// nothing.

#include "audit/window_audit.h"
#include "session/determination_session.h"

#include <QObject>
#include <string>

namespace sepmet {

class DlgMain;

class WindowAudit final : public QObject, public SessionListener {
    Q_OBJECT
public:
    // Gives `window` its trail, a child object of the window listening to its session: the store
    // named by the profile value "AuditFile" (an absolute path), else the default store. Called
    // once the report generator exists, before the first recalculation.
    static void Install(DlgMain& window);

    void Recalculated(const DeterminationSession& session, const CommandResult& result) override;

    // The profile value naming the window's store.
    static constexpr std::u16string_view kProfileValue = u"AuditFile";
    // The object name of the notice window.
    static constexpr const char* kNoticeName = "sepmetAuditNotice";

private:
    WindowAudit(DlgMain& window, std::string path);

    audit::WindowAuditTrail trail_;
};

} // namespace sepmet
