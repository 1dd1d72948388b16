#include "plugin/plugin_info.h"

#include "resources/version.h"

namespace sepmet {
namespace {

// `size` is the record's own size: 48 on the host's 32-bit platform (pinned in host_api.h);
// a 64-bit host sees the size of its wider record. The texts are the project's own.
constexpr PluginInfo info{
    sizeof(PluginInfo),
    u"sepmet",
    kVersionNumber,
    u"sepmet: Метанол в газе сепарации",
    u"Разработчики sepmet",
    u"sepmet@example.org",
    u"© 2026 Разработчики sepmet",
    u"https://example.org/sepmet",
    {0x798f6d26, 0x33a0, 0x4845, {0x92, 0xb2, 0x2b, 0x43, 0xc3, 0x2d, 0x8f, 0x62}},
};

} // namespace

const PluginInfo& PluginInformation() {
    return info;
}

} // namespace sepmet
