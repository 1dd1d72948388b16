// An output that is an input or another output, by any spelling of its path or through a link,
// is named; distinct files pass.

#include "platform/output_guard.h"
#include "tests/support/temporary_folder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace sepmet {
namespace {

using testing::TemporaryFolder;

TEST(OutputGuard, EverySpellingOfAnInputOrAnEarlierOutputIsTheSameFile) {
    TemporaryFolder folder;
    const std::string input = folder.Write("in.sqlite", "data");
    folder.Write("sub/keep", "");
    std::filesystem::create_hard_link(input, folder.File("hard.sqlite"));
    const std::string upper = folder.File("IN.SQLITE");

    const struct {
        std::string output;
        bool sameAsInput;
    } cases[] = {
        {input, true},
        {folder.File("sub/../in.sqlite"), true},
        {folder.File("./in.sqlite"), true},
        {folder.File("hard.sqlite"), true}, // another name of the same file
        {folder.File("out.html"), false},
        {folder.File("sub/in.sqlite"), false},
#if defined(_WIN32)
        {upper, true}, // Windows names files without regard to case
        {[&] {
             std::string backslashes = input;
             std::replace(backslashes.begin(), backslashes.end(), '/', '\\');
             return backslashes;
         }(),
         true},
#else
        {upper, false},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output);
        const std::string conflict = SameFileConflict({{"--db", input}}, {{"--report", c.output}});
        EXPECT_EQ(conflict.empty(), !c.sameAsInput) << conflict;
        if (c.sameAsInput)
            EXPECT_EQ(conflict, "--report " + c.output + " is the same file as --db " + input);
    }

    // Two outputs that do not exist yet, spelt differently.
    EXPECT_EQ(SameFileConflict({{"--db", input}}, {{"--xml", folder.File("new.html")},
                                                   {"--report", folder.File("sub/../new.html")}}),
              "--report " + folder.File("sub/../new.html") + " is the same file as --xml " +
                  folder.File("new.html"));
    EXPECT_EQ(SameFileConflict({{"--db", input}, {"--template", ""}},
                               {{"--xml", folder.File("a.xml")}, {"--report", folder.File("b")}}),
              "");
}

} // namespace
} // namespace sepmet
