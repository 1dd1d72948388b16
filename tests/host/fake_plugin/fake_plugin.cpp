// A library with the three exports whose information record is faulty: 7 bytes long
// (FAKE_SMALL_RECORD) or without a version (FAKE_NO_VERSION). Its Load calls a service, so a
// test sees whether it ran.
#include "plugin/exports.h"

namespace {

#ifdef FAKE_SMALL_RECORD
constexpr std::uint32_t FAKE_RECORD_SIZE = 7;
#else
constexpr std::uint32_t FAKE_RECORD_SIZE = sizeof(sepmet::PluginInfo);
#endif
#ifdef FAKE_NO_VERSION
constexpr std::uint32_t FAKE_RECORD_VERSION = 0xFFFFFFFF; // 255.255.255.255
#else
constexpr std::uint32_t FAKE_RECORD_VERSION = 0x01000000;
#endif

const sepmet::PluginInfo info{FAKE_RECORD_SIZE,
                              u"fake",
                              FAKE_RECORD_VERSION,
                              u"Fake",
                              u"",
                              u"",
                              u"",
                              u"",
                              sepmet::PluginGuid{0x12345678, 1, 2, {3}}};
const sepmet::HostApi* host = nullptr;

} // namespace

extern "C" {
SEPMET_EXPORT const sepmet::PluginInfo* SEPMET_CDECL GetPluginInfo() {
    return &info;
}
SEPMET_EXPORT int SEPMET_CDECL Load(const sepmet::HostApi* hostApi) {
    host = hostApi;
    host->callService("Test/FakeLoaded", 0, 0);
    return 0;
}
SEPMET_EXPORT int SEPMET_CDECL Unload() {
    return 0;
}
}
