#include "session/command_result_view.h"

namespace sepmet {

void ShowCommandResult(const CommandResult& result, CommandResultView& view) {
    if (result.databaseError) {
        // At opening the saved list is kept and the window opens; any other command changed
        // nothing.
        view.ShowError(result.command == SessionCommand::Open
                           ? UnrestoredAssaysText(*result.databaseError)
                           : std::u16string(*result.databaseError));
    }
    if (!result.ran)
        return;
    if (result.listChanged) {
        view.RefreshAssayList();
        view.NotifyAssayListChanged();
    }
    if (result.command == SessionCommand::Remove || result.command == SessionCommand::Clear)
        view.ClearPeakPage();
    view.ShowRecalculation(result.recalculation);
}

} // namespace sepmet
