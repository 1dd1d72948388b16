#include "plugin/startup.h"

#include "data/connection.h"
#include "plugin/callback_guard.h"
#include "plugin/host_services.h"
#include "plugin/menu_command.h"
#include "plugin/module_state.h"
#include "plugin/startup_messages.h"
#include "resources/strings.h"

#include <string>

namespace sepmet {
namespace {

void RequestMenuItem() {
    const std::u16string path(LoadString(StringId::MenuPath)); // NUL-terminated for the host
    MenuItemRequest request{sizeof(MenuItemRequest), path.c_str(), 0, HostService::MenuCommand};
    const HostWord answer =
        CallHostService(HostService::CreateNewMenu, 0, reinterpret_cast<HostWord>(&request));
    if (answer == kServiceMissing)
        ShowPluginError(kNoCreateNewMenu);
}

void StoreDatabaseLocation() {
    if (!HostHasService(HostService::GetConnectionUri)) {
        ShowPluginError(kNoGetDbUri);
        return;
    }
    const HostWord answer = CallHostService(HostService::GetConnectionUri, 0, 0);
    // A host that answers no text (0, or the missing word) leaves the location unset rather
    // than handing an invalid pointer to the copy.
    const bool hasText = answer != 0 && answer != kServiceMissing;
    DataBase::GetConnection().SetUri(hasText ? reinterpret_cast<const char16_t*>(answer) : nullptr);
}

void StartUp() {
    ModuleState& module = Module();
    module.menuCommandService =
        module.hostApi->registerService(HostService::MenuCommand, &OnMenuCommand);
    RequestMenuItem();
    if (!HostHasService(HostService::OpenAssayIdDlg))
        ShowPluginError(kNoOpenAssayIdDlg);
    StoreDatabaseLocation();
    module.profileBase = u"plugins\\sepmet";
}

} // namespace

HostWord SEPMET_CDECL OnModulesLoaded(HostWord, HostWord) {
    if (Module().hostApi)
        GuardHostCallback(StartUp);
    return 0;
}

} // namespace sepmet
