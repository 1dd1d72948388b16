// sepmet.so loaded the way a host loads it: by file name, through its three exported names.
#include "plugin/host_api.h"
#include "plugin/host_services.h"
#include "tests/support/fake_host.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <string_view>

namespace sepmet::testing {
namespace {

TEST(PluginModule, LoadsStartsAndUnloadsThroughItsExports) {
    // Kept mapped after dlclose: libraries the window system brings along (libgomp among them)
    // keep allocations for the life of the process, which LeakSanitizer would otherwise report
    // from an unmapped module it cannot name, out of reach of a suppression.
    void* module = dlopen(SEPMET_MODULE_PATH, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    ASSERT_NE(module, nullptr) << dlerror();
    using GetInfo = const PluginInfo* (*)();
    using LoadFn = int (*)(const HostApi*);
    using UnloadFn = int (*)();
    auto getInfo = reinterpret_cast<GetInfo>(dlsym(module, "GetPluginInfo"));
    auto load = reinterpret_cast<LoadFn>(dlsym(module, "Load"));
    auto unload = reinterpret_cast<UnloadFn>(dlsym(module, "Unload"));
    ASSERT_TRUE(getInfo && load && unload);
    EXPECT_EQ(dlsym(module, "OnModulesLoaded"), nullptr);

    EXPECT_EQ(std::u16string_view(getInfo()->name), u"sepmet");
    {
        FakeHost host;
        host.OfferAll(u"analysis.db");
        EXPECT_EQ(load(host.api()), 0);
        EXPECT_TRUE(host.FireEvent(HostService::ModulesLoaded));
        EXPECT_TRUE(host.HasPluginService(HostService::MenuCommand));
        ASSERT_EQ(host.menuItems().size(), 1u);
        EXPECT_EQ(host.menuItems()[0].path, u"Данные/Расчёты/Метанол в газе сепарации");
        // Without a QApplication the module installs no window factory: nothing opens.
        EXPECT_EQ(host.ChooseMenuItem(0x1234), 0);
        EXPECT_EQ(unload(), 0);
        EXPECT_FALSE(host.HasPluginService(HostService::MenuCommand));
    }
    EXPECT_EQ(dlclose(module), 0);
}

} // namespace
} // namespace sepmet::testing
