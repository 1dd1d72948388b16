#include "batch/batch_options.h"

#include <gtest/gtest.h>

namespace sepmet::batch {
namespace {

std::optional<BatchOptions> Parse(std::vector<std::string> args, std::string* error = nullptr) {
    std::string text;
    auto options = ParseOptions(args, text);
    if (error)
        *error = text;
    return options;
}

TEST(BatchOptions, ConditionsDefaultAsTheProfileAndAcceptPointOrComma) {
    auto defaults = Parse({"--db", "x.db", "--clear"});
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->settings.vW, 0);
    EXPECT_EQ(defaults->settings.vG, 0);
    EXPECT_EQ(defaults->settings.rhoG, 0);
    EXPECT_EQ(defaults->settings.atmP, 101.325);
    EXPECT_EQ(defaults->settings.gasT, 20);
    EXPECT_FALSE(defaults->json);

    auto given = Parse({"--vW",     "100",      "--db", "x.db",     "--vG",    "10,5",   "--rhoG",
                        "0.7",      "--atmP",   "99,1", "--gasT",   "-10",     "--json", "--add",
                        "1,2,5-14", "--remove", "3",    "--reload", "--apply", "--clear"});
    ASSERT_TRUE(given);
    EXPECT_EQ(given->database, "x.db");
    EXPECT_EQ(given->settings.vW, 100);
    EXPECT_EQ(given->settings.vG, 10.5);
    EXPECT_EQ(given->settings.rhoG, 0.7);
    EXPECT_EQ(given->settings.atmP, 99.1);
    EXPECT_EQ(given->settings.gasT, -10);
    EXPECT_TRUE(given->json);
    ASSERT_EQ(given->commands.size(), 5u);
    EXPECT_EQ(given->commands[0].kind, Command::Kind::Add);
    EXPECT_EQ(given->commands[0].ids.Expand(),
              (std::vector<std::int32_t>{1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    EXPECT_EQ(given->commands[1].kind, Command::Kind::Remove);
    EXPECT_EQ(given->commands[2].kind, Command::Kind::Reload);
    EXPECT_EQ(given->commands[3].kind, Command::Kind::Apply);
    EXPECT_EQ(given->commands[4].kind, Command::Kind::Clear);
}

TEST(BatchOptions, RefusesBadUsageWithAReason) {
    struct Case {
        std::vector<std::string> args;
        const char* reason;
    } cases[] = {
        {{"--add", "1"}, "--db FILE is required"},
        {{"--db", "x.db"}, "no command given"},
        {{"--db"}, "--db needs a value"},
        {{"--db", "x.db", "--add"}, "--add needs a value"},
        {{"--db", "x.db", "--vW", "1.2.3", "--clear"}, "--vW: \"1.2.3\" is not a number"},
        {{"--db", "x.db", "--vW", "", "--clear"}, "--vW: \"\" is not a number"},
        {{"--db", "x.db", "--gasT", "20 C", "--clear"}, "--gasT: \"20 C\" is not a number"},
        {{"--db", "x.db", "--add", "1,,2"}, "--add: bad identifier \"\""},
        {{"--db", "x.db", "--add", "-1"}, "--add: bad identifier \"-1\""},
        {{"--db", "x.db", "--add", "2147483648"}, "--add: bad identifier \"2147483648\""},
        {{"--db", "x.db", "--remove", "9-3"}, "--remove: bad range \"9-3\""},
        {{"--db", "x.db", "--add", "1-257"}, "--add: at most 256 identifiers"},
        {{"--db", "x.db", "--frobnicate"}, "unknown option \"--frobnicate\""},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(Parse(c.args, &error));
        EXPECT_EQ(error.rfind(c.reason, 0), 0u) << error;
    }
    // A large range is fine where it only selects rows.
    EXPECT_TRUE(Parse({"--db", "x.db", "--remove", "0-2147483647"}));
    EXPECT_TRUE(Parse({"--db", "x.db", "--add", "1-256"}));
}

TEST(BatchOptions, HelpAndVersionNeedNoDatabaseOrCommand) {
    struct Case {
        std::vector<std::string> args;
        BatchOptions::Action action;
    } cases[] = {
        {{"--help"}, BatchOptions::Action::ShowUsage},
        {{"-h"}, BatchOptions::Action::ShowUsage},
        {{"--version"}, BatchOptions::Action::ShowVersion},
        {{"--db", "x.db", "--version", "--frobnicate"}, BatchOptions::Action::ShowVersion},
        {{"--db", "x.db", "--clear"}, BatchOptions::Action::Run},
    };
    for (const Case& c : cases) {
        auto options = Parse(c.args);
        ASSERT_TRUE(options) << c.args[0];
        EXPECT_EQ(options->action, c.action) << c.args[0];
    }
    // A mistake before it is still a mistake; as a value it is only a value.
    EXPECT_FALSE(Parse({"--frobnicate", "--help"}));
    auto named = Parse({"--db", "--help", "--clear"});
    ASSERT_TRUE(named);
    EXPECT_EQ(named->database, "--help");
    EXPECT_EQ(VersionText(), "sepmet-batch 1.0.2.0");
}

TEST(BatchOptions, ConditionsFollowTheSettingsDialogsRules) {
    // Every text the dialog refuses is refused here, naming the option.
    for (const char* text : {"nan", "inf", "-inf", "1e999", "0x10", "1,2.3", "12abc", " "}) {
        std::string error;
        EXPECT_FALSE(Parse({"--db", "x.db", "--rhoG", text, "--clear"}, &error)) << text;
        EXPECT_EQ(error, std::string("--rhoG: \"") + text + "\" is not a number");
    }
    const std::pair<const char*, double> accepted[] = {
        {"101.325", 101.325}, {"101,325", 101.325}, {"+5", 5}, {"1e2", 100}, {" 7 ", 7}};
    for (const auto& [text, value] : accepted) {
        auto options = Parse({"--db", "x.db", "--atmP", text, "--clear"});
        ASSERT_TRUE(options) << text;
        EXPECT_EQ(options->settings.atmP, value) << text;
    }
}

TEST(IdList, ContainsAndSize) {
    std::string error;
    auto ids = IdList::Parse(" 3 , 10-12,3", error);
    ASSERT_TRUE(ids) << error;
    EXPECT_EQ(ids->Size(), 5u);
    EXPECT_EQ(ids->Expand(), (std::vector<std::int32_t>{3, 10, 11, 12, 3}));
    EXPECT_TRUE(ids->Contains(11));
    EXPECT_FALSE(ids->Contains(4));
    auto all = IdList::Parse("0-2147483647", error);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->Size(), 2147483648u);
    EXPECT_TRUE(all->Contains(2147483647));
}

} // namespace
} // namespace sepmet::batch
