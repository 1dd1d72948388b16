#include "plugin/profile.h"
#include "plugin_fixture.h"

#include <algorithm>
#include <gmock/gmock.h>

namespace sepmet::testing {
namespace {

TEST_F(PluginTest, ProfileKeyJoinsBaseSectionAndName) {
    EXPECT_EQ(MakeProfileKey(u"", u"WindowRect_tlx"), u"/WindowRect_tlx"); // before start-up
    StartPlugin();
    EXPECT_EQ(MakeProfileKey(u"", u"WindowRect_tlx"), u"plugins\\sepmet\\/WindowRect_tlx");
    EXPECT_EQ(MakeProfileKey(u"Sec", u"vW"), u"plugins\\sepmet\\Sec/vW");
}

TEST_F(PluginTest, MissingProfileServicesGiveDefaultsWithoutCalls) {
    host.OfferAll().profile()[u"plugins\\sepmet\\/x"] = 5;
    for (const char* service :
         {HostService::ProfileDelParam, HostService::ProfileGetInt, HostService::ProfileGetString,
          HostService::ProfileGetDouble, HostService::ProfileSetInt, HostService::ProfileSetString,
          HostService::ProfileSetDouble})
        host.Remove(service);
    StartPlugin();
    host.ClearCalls();

    EXPECT_FALSE(ProfileDelParam(u"", u"x"));
    EXPECT_EQ(ProfileGetInt(u"", u"x", 7), 7);
    EXPECT_EQ(ProfileGetDouble(u"", u"x", 2.5), 2.5);
    EXPECT_EQ(ProfileGetString(u"", u"x", u"default"), u"default");
    EXPECT_FALSE(ProfileSetInt(u"", u"x", 1));
    EXPECT_FALSE(ProfileSetDouble(u"", u"x", 1.0));
    ProfileSetString(u"", u"x", u"text");

    EXPECT_EQ(host.CountCalls("findService"), 7);
    EXPECT_EQ(host.CountCalls("callService"), 0);
    EXPECT_EQ(host.profile().size(), 1u);
}

TEST_F(PluginTest, ProfileValuesRoundTripUnderTheBaseKey) {
    host.OfferAll();
    StartPlugin();
    host.ClearCalls();

    EXPECT_TRUE(ProfileSetInt(u"", u"Assay 0", -42));
    EXPECT_TRUE(ProfileSetDouble(u"", u"atmP", 101.325));
    ProfileSetString(u"", u"name", u"Метанол");
    EXPECT_EQ(ProfileGetInt(u"", u"Assay 0", 0), -42);
    EXPECT_EQ(ProfileGetDouble(u"", u"atmP", 0), 101.325);
    EXPECT_EQ(ProfileGetString(u"", u"name", u""), u"Метанол");
    EXPECT_TRUE(ProfileDelParam(u"", u"Assay 0"));

    // One findService and one callService per wrapper, each with the key in its first word.
    EXPECT_EQ(host.CountCalls("findService"), 7);
    ASSERT_EQ(host.CountCalls("callService"), 7);
    for (const HostCall& call : host.CallsOf("callService"))
        EXPECT_EQ(call.text, call.name == HostService::ProfileSetInt ||
                                     call.name == HostService::ProfileGetInt ||
                                     call.name == HostService::ProfileDelParam
                                 ? u"plugins\\sepmet\\/Assay 0"
                             : call.name == HostService::ProfileSetDouble ||
                                     call.name == HostService::ProfileGetDouble
                                 ? u"plugins\\sepmet\\/atmP"
                                 : u"plugins\\sepmet\\/name")
            << call.name;
    EXPECT_EQ(host.CallsOf("callService", HostService::ProfileDelParam)[0].second, 0);
    EXPECT_EQ(host.profile().count(u"plugins\\sepmet\\/Assay 0"), 0u);
}

TEST_F(PluginTest, HostAnsweringZeroGivesDefaultsAndFalse) {
    host.OfferAll();
    for (const char* service :
         {HostService::ProfileDelParam, HostService::ProfileGetInt, HostService::ProfileGetString,
          HostService::ProfileGetDouble, HostService::ProfileSetInt, HostService::ProfileSetDouble})
        host.Offer(service, [](HostWord, HostWord second) {
            // Writes a value anyway: the answer 0 must still win.
            if (second)
                *reinterpret_cast<char*>(second) = 1;
            return HostWord{0};
        });
    StartPlugin();
    EXPECT_FALSE(ProfileDelParam(u"", u"x"));
    EXPECT_EQ(ProfileGetInt(u"", u"x", 7), 7);
    EXPECT_EQ(ProfileGetDouble(u"", u"x", 2.5), 2.5);
    EXPECT_EQ(ProfileGetString(u"", u"x", u"default"), u"default");
    EXPECT_FALSE(ProfileSetInt(u"", u"x", 1));
    EXPECT_FALSE(ProfileSetDouble(u"", u"x", 1.0));
}

// "Profile/GetString" that writes `fill` units of 'a' (no NUL of its own) and answers 1.
HostWord FillUnits(HostWord second, std::size_t fill) {
    auto* buffer = reinterpret_cast<ProfileStringBuffer*>(second);
    EXPECT_EQ(buffer->capacity, 256);
    EXPECT_TRUE(std::all_of(buffer->text, buffer->text + 256, [](char16_t c) { return !c; }));
    std::fill_n(buffer->text, fill, u'a');
    return 1;
}

TEST_F(PluginTest, ProfileStringTakesTheBufferUpToItsFirstNul) {
    host.OfferAll();
    StartPlugin();
    for (std::size_t fill : {0u, 1u, 255u, 256u}) {
        host.Offer(HostService::ProfileGetString,
                   [fill](HostWord, HostWord second) { return FillUnits(second, fill); });
        // 0 units: an empty text, not the default; 256 units without a NUL: all of them, and
        // nothing past the buffer.
        EXPECT_EQ(ProfileGetString(u"", u"x", u"default"), std::u16string(fill, u'a')) << fill;
    }
}

TEST_F(PluginTest, ProfileStringOfMaximalLengthSurvivesTheFakeHost) {
    host.OfferAll();
    StartPlugin();
    const std::u16string text(255, u'ж');
    ProfileSetString(u"", u"long", text);
    EXPECT_EQ(ProfileGetString(u"", u"long", u""), text);
}

} // namespace
} // namespace sepmet::testing
