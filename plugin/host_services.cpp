#include "plugin/host_services.h"

#include "plugin/module_state.h"

namespace sepmet {

bool HostHasService(const char* service) {
    const HostApi* api = Module().hostApi;
    return api && api->findService(service) != 0;
}

HostWord CallHostService(const char* service, HostWord first, HostWord second) {
    const HostApi* api = Module().hostApi;
    return api ? api->callService(service, first, second) : kServiceMissing;
}

namespace {
WindowMessagePoster windowMessagePoster = nullptr;
} // namespace

std::optional<std::vector<std::int32_t>> PickAssays(HostWord owner) {
    if (!HostHasService(HostService::OpenAssayIdDlg))
        return std::nullopt;
    std::vector<std::int32_t> ids(kAssayIdCapacity, 0);
    AssayIdRequest request{ids.data(), kAssayIdCapacity};
    const HostWord answer =
        CallHostService(HostService::OpenAssayIdDlg, reinterpret_cast<HostWord>(&request), owner);
    if (answer == 0 || answer > kAssayIdCapacity)
        return std::nullopt;
    ids.resize(answer < 0 ? 0 : static_cast<std::size_t>(answer));
    return ids;
}

namespace {

class HostViewer final : public AssayViewer {
public:
    bool Available() const override { return HostHasService(HostService::OpenAssayFile); }
    void Open(const std::u16string& fileName) override {
        CallHostService(HostService::OpenAssayFile, 0,
                        reinterpret_cast<HostWord>(fileName.c_str()));
    }
};

} // namespace

AssayViewer& HostAssayViewer() {
    static HostViewer viewer;
    return viewer;
}

void SetWindowMessagePoster(WindowMessagePoster poster) {
    windowMessagePoster = poster;
}

void NotifyAssayListChanged(HostWord window) {
    if (windowMessagePoster)
        windowMessagePoster(window, kAssayListChangedMessage);
}

} // namespace sepmet
