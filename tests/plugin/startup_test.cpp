#include "plugin_fixture.h"
#include "resources/strings.h"

#include <gmock/gmock.h>
#include <ostream>

namespace sepmet::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(PluginTest, StartUpWithEveryServiceShowsNothing) {
    host.OfferAll(u"/data/analysis.db");
    StartPlugin();
    EXPECT_THAT(boxes.shown, IsEmpty());

    // Order of the work: command service, menu item, picker check, database location.
    std::vector<std::string> order;
    for (const auto& call : host.calls())
        order.push_back(call.entry + " " + call.name);
    EXPECT_THAT(order,
                ElementsAre("subscribe System/ModulesLoaded", "registerService sepmet/MenuCommand",
                            "callService MainMenu/CreateNewMenu",
                            "findService Main/OpenAssayIdDlgEx", "findService DB/GetConnectionUri",
                            "callService DB/GetConnectionUri"));

    ASSERT_EQ(host.menuItems().size(), 1u);
    const MenuItem& item = host.menuItems()[0];
    EXPECT_EQ(item.size, sizeof(MenuItemRequest));
    EXPECT_EQ(item.path, LoadString(StringId::MenuPath));
    EXPECT_EQ(item.path, u"Данные/Расчёты/Метанол в газе сепарации");
    EXPECT_EQ(item.reserved, 0u);
    EXPECT_EQ(item.service, "sepmet/MenuCommand");
    EXPECT_EQ(host.CallsOf("callService", HostService::CreateNewMenu)[0].first, 0);
    const HostCall uri = host.CallsOf("callService", HostService::GetConnectionUri)[0];
    EXPECT_EQ(uri.first, 0);
    EXPECT_EQ(uri.second, 0);

    EXPECT_EQ(Module().menuCommandService, host.CallsOf("registerService")[0].result);
    EXPECT_EQ(DataBase::GetConnection().Uri(), u"/data/analysis.db");
    EXPECT_EQ(Module().profileBase, u"plugins\\sepmet");
}

struct MissingService {
    const char* service;
    std::u16string_view message;
    friend void PrintTo(const MissingService& missing, std::ostream* out) {
        *out << missing.service;
    }
};

class MissingServiceTest : public PluginTest,
                           public ::testing::WithParamInterface<MissingService> {};

TEST_P(MissingServiceTest, GivesItsMessageOnceAndStartUpGoesOn) {
    const MissingService& missing = GetParam();
    host.OfferAll(u"analysis.db").Remove(missing.service);
    StartPlugin();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, missing.message);
    EXPECT_EQ(boxes.shown[0].caption, u"Плагин: Газ сепарации");
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(boxes.shown[0].owner, 0);
    // The remaining steps still ran.
    EXPECT_TRUE(host.HasPluginService(HostService::MenuCommand));
    EXPECT_EQ(host.CountCalls("callService", HostService::CreateNewMenu), 1);
    EXPECT_EQ(Module().profileBase, u"plugins\\sepmet");
    if (std::string_view(missing.service) == HostService::GetConnectionUri) {
        EXPECT_EQ(host.CountCalls("callService", HostService::GetConnectionUri), 0);
        EXPECT_FALSE(DataBase::GetConnection().Uri().has_value());
    } else {
        EXPECT_EQ(DataBase::GetConnection().Uri(), u"analysis.db");
    }
}

INSTANTIATE_TEST_SUITE_P(StartUp, MissingServiceTest,
                         ::testing::Values(MissingService{HostService::CreateNewMenu,
                                                          u"CreateNewMenu service not found."},
                                           MissingService{HostService::OpenAssayIdDlg,
                                                          u"OpenAssayIdDlg service not found."},
                                           MissingService{HostService::GetConnectionUri,
                                                          u"GetDbUri service not found."}));

TEST_F(PluginTest, BareHostGivesAllThreeMessagesInOrder) {
    StartPlugin();
    EXPECT_THAT(boxes.Texts(),
                ElementsAre(u"CreateNewMenu service not found.",
                            u"OpenAssayIdDlg service not found.", u"GetDbUri service not found."));
    EXPECT_EQ(Module().profileBase, u"plugins\\sepmet");
}

TEST_F(PluginTest, LocationServiceAnsweringNoTextLeavesLocationUnset) {
    for (HostWord answer : {HostWord{0}, kServiceMissing}) {
        Fresh();
        host.OfferAll().OfferAnswer(HostService::GetConnectionUri, answer);
        StartPlugin();
        EXPECT_FALSE(DataBase::GetConnection().Uri().has_value()) << answer;
        EXPECT_THAT(boxes.shown, IsEmpty());
        Unload();
    }
}

TEST_F(PluginTest, LocationIsCopiedAtOnce) {
    std::u16string location = u"/data/first.db";
    host.OfferAll().OfferAnswer(HostService::GetConnectionUri,
                                reinterpret_cast<HostWord>(location.c_str()));
    StartPlugin();
    location.assign(u"/changed/by/the/host");
    EXPECT_EQ(DataBase::GetConnection().Uri(), u"/data/first.db");
}

} // namespace
} // namespace sepmet::testing
