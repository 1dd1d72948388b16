// sepmet-batch.exe writes the report of the demo determination through MSXML: a whole HTML page
// with the result values, as the pages print them. Windows only; under Wine its MSXML.

#include "demo/demo_database.h"
#include "tests/support/read_file.h"
#include "tests/support/temporary_folder.h"

#include <cstdio>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>

namespace {

using sepmet::testing::ReadFile;
using sepmet::testing::TemporaryFolder;
using ::testing::HasSubstr;

// The program's exit status; standard output in `out`. cmd.exe takes off the outermost quotes:
// the whole line is quoted once more.
int RunBatch(const std::string& arguments, std::string& out) {
    const std::string command = "\"\"Z:" SEPMET_BATCH_EXE "\" " + arguments + " 2>NUL\"";
    FILE* pipe = _popen(command.c_str(), "rb");
    if (!pipe)
        return -1;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    return _pclose(pipe);
}

TEST(BatchReportThroughMsxml, TheDemoReportHoldsThePagesResults) {
    TemporaryFolder folder;
    const std::string database = folder.File("demo.db");
    ASSERT_EQ(sepmet::demo::WriteDemoDatabase(database), "");
    const std::string report = folder.File("report.html");
    const std::string conditions = "--db \"" + database + "\" --vW 100 --vG 10 --rhoG 0.7 ";
    std::string pages;
    ASSERT_EQ(RunBatch(conditions + "--report \"" + report + "\" --template \"Z:" +
                           SEPMET_SOURCE_DIR "/share/Orvane4/Templates/sepmet/Report.xsl\"" +
                           " --add 1-12",
                       pages),
              0);
    // The values the pages show, in the page's own spelling.
    ASSERT_THAT(pages, HasSubstr("1\tМетанол\t0,0493\n"));
    ASSERT_THAT(pages, HasSubstr("0,120736"));

    const std::string html = ReadFile(report);
    EXPECT_TRUE(html.starts_with("<!DOCTYPE html")) << html.substr(0, 200);
    EXPECT_THAT(html, HasSubstr("</html>"));
    for (const char* value : {"0,0493", "0,120736 ± 0,021961", "0,017248", "0,009059",
                              "grad_01.chr", "abs_12.chr", "Ошибок нет!"})
        EXPECT_THAT(html, HasSubstr(value));
    // Nothing but the report is left beside it.
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"demo.db", "report.html"}));
}

} // namespace
