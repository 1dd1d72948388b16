#include "plugin_fixture.h"
#include "resources/strings.h"

#include <cstring>
#include <gmock/gmock.h>
#include <string_view>

namespace sepmet::testing {
namespace {

using ::testing::ElementsAre;

TEST_F(PluginTest, InformationRecordIsTheSameBeforeAndAfterLoad) {
    const PluginInfo* before = GetPluginInfo();
    PluginInfo copy;
    std::memcpy(&copy, before, sizeof copy);
    host.OfferAll();
    StartPlugin();
    const PluginInfo* after = GetPluginInfo();
    EXPECT_EQ(after, before);
    EXPECT_EQ(std::memcmp(&copy, after, sizeof copy), 0);

    EXPECT_EQ(after->size, sizeof(PluginInfo));
    EXPECT_EQ(std::u16string_view(after->name), u"sepmet");
    EXPECT_EQ(after->version, 0x01000200u);
    EXPECT_TRUE(std::u16string_view(after->title).ends_with(u": Метанол в газе сепарации"));
    for (const char16_t* text : {after->vendor, after->email, after->copyright, after->url})
        EXPECT_FALSE(std::u16string_view(text).empty());
    const PluginGuid none{};
    EXPECT_NE(std::memcmp(&after->guid, &none, sizeof none), 0);
}

TEST_F(PluginTest, LoadOnlySubscribesToModulesLoaded) {
    host.OfferAll();
    ASSERT_EQ(Load(host.api()), 0);
    ASSERT_EQ(host.calls().size(), 1u);
    EXPECT_EQ(host.calls()[0].entry, "subscribe");
    EXPECT_EQ(host.calls()[0].name, HostService::ModulesLoaded);
    EXPECT_EQ(Module().modulesLoadedSubscription, host.calls()[0].result);
    EXPECT_FALSE(DataBase::HasConnection());
}

TEST_F(PluginTest, UnloadBeforeStartUpUnregistersHandleZero) {
    ASSERT_EQ(Load(host.api()), 0);
    const HostWord subscription = Module().modulesLoadedSubscription;
    host.ClearCalls();
    EXPECT_EQ(Unload(), 0);
    ASSERT_EQ(host.calls().size(), 2u);
    EXPECT_EQ(host.calls()[0].entry, "unsubscribe");
    EXPECT_EQ(host.calls()[0].first, subscription);
    EXPECT_EQ(host.calls()[1].entry, "unregisterService");
    EXPECT_EQ(host.calls()[1].first, 0);
    // No connection object existed: Unload leaves none behind and creates none.
    EXPECT_FALSE(DataBase::HasConnection());
}

TEST_F(PluginTest, UnloadWithdrawsServiceAndDeletesConnection) {
    host.OfferAll(u"/somewhere/analysis.db");
    StartPlugin();
    ASSERT_TRUE(DataBase::HasConnection());
    const HostWord service = Module().menuCommandService;
    ASSERT_NE(service, 0);
    host.ClearCalls();
    EXPECT_EQ(Unload(), 0);
    ASSERT_EQ(host.CountCalls("unregisterService"), 1);
    EXPECT_EQ(host.CallsOf("unregisterService")[0].first, service);
    EXPECT_FALSE(host.HasPluginService(HostService::MenuCommand));
    EXPECT_FALSE(host.FireEvent(HostService::ModulesLoaded));
    EXPECT_FALSE(DataBase::HasConnection());
    // The next use starts from a fresh object without a location.
    EXPECT_FALSE(DataBase::GetConnection().Uri().has_value());
}

TEST_F(PluginTest, UnloadWithoutLoadTouchesNoHost) {
    EXPECT_EQ(Unload(), 0);
    EXPECT_TRUE(host.calls().empty());
}

} // namespace
} // namespace sepmet::testing
