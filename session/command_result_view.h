#pragma once
// What a front end does with the result of a session command, in one place for every window:
// the list refreshed and the host told once when it changed, the peaks page emptied after a
// removal, the pages and messages updated, a database failure shown. The window supplies the
// drawing; the order and the conditions are here.

#include "session/determination_session.h"

#include <string_view>

namespace sepmet {

class CommandResultView {
public:
    virtual ~CommandResultView() = default;
    // The chromatogram list redrawn from the session's ListRows.
    virtual void RefreshAssayList() = 0;
    // Message 1035 to the host.
    virtual void NotifyAssayListChanged() = 0;
    // "Инф. с хром." emptied (the chromatogram it showed may be gone).
    virtual void ClearPeakPage() = 0;
    // "Градуировка", "Расчет" and "Сист. сообщения" after the recalculation.
    virtual void ShowRecalculation(const Recalculation& recalculation) = 0;
    // An error box over the window, caption "Плагин: Газ сепарации".
    virtual void ShowError(std::u16string_view text) = 0;
};

void ShowCommandResult(const CommandResult& result, CommandResultView& view);

} // namespace sepmet
