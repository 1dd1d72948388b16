// sepmet-batch's output files: an output that is an input or another output is refused before
// anything is written, and a report or document that cannot be written whole keeps the file
// that was there.
#include "tests/support/read_file.h"
#include "tests/support/temporary_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace {

using sepmet::testing::ReadFile;
using sepmet::testing::TemporaryFolder;

class BatchOutputs : public ::testing::Test {
protected:
    void SetUp() override {
        database = folder.File("analysis.sqlite");
        ASSERT_EQ(std::system((std::string(SEPMET_DEMO_DATABASE_EXE) + " " + database).c_str()), 0);
        templateFile = folder.File("Report.xsl");
        std::filesystem::copy_file(std::string(SEPMET_SOURCE_DIR) +
                                       "/share/Orvane4/Templates/sepmet/Report.xsl",
                                   templateFile);
    }

    // Runs the program from the folder through `shell` (a prefix such as "ulimit -f 8;"); the
    // exit status, standard error in `err`.
    int Run(const std::string& arguments, const std::string& shell = {}) {
        const std::string command = "cd '" + folder.Path() + "' && " + shell + " exec " +
                                    SEPMET_BATCH_EXE + " --db " + database +
                                    " --vW 100 --vG 10 --rhoG 0.7 " + arguments + " --add 1-12" +
                                    " >/dev/null 2>'" + folder.Path() + "/err.txt'";
        const int status = std::system(("/bin/sh -c \"" + command + "\"").c_str());
        err = ReadFile(folder.File("err.txt"));
        std::filesystem::remove(folder.File("err.txt"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TemporaryFolder folder;
    std::string database;
    std::string templateFile;
    std::string err;
};

TEST_F(BatchOutputs, AnOutputNamingAnInputOrAnotherOutputIsRefusedBeforeAnythingIsWritten) {
    std::filesystem::create_symlink(database, folder.File("link.sqlite"));
    std::filesystem::create_directory(folder.File("sub"));
    const std::string databaseBytes = ReadFile(database);
    const std::string templateBytes = ReadFile(templateFile);
    const struct {
        std::string arguments;
        const char* named; // the option the refused output collides with
    } cases[] = {
        {"--report " + database, "--db"},
        {"--xml " + database, "--db"},
        {"--report analysis.sqlite", "--db"},        // relative to the working folder
        {"--report sub/../analysis.sqlite", "--db"}, // another spelling
        {"--xml link.sqlite", "--db"},               // through a link
        {"--report out.html --template Report.xsl --xml Report.xsl", "--template"},
        {"--report Report.xsl --template " + templateFile, "--template"},
        {"--report trail.sqlite --audit trail.sqlite", "--audit"},
        {"--xml same.html --report same.html", "--report"},
        {"--report new-link.html --xml new.html", "--report"}, // a link to a file not there yet
    };
    std::filesystem::create_symlink("new.html", folder.File("new-link.html"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        EXPECT_EQ(Run(c.arguments), 2);
        EXPECT_NE(err.find("is the same file as " + std::string(c.named)), std::string::npos)
            << err;
        EXPECT_EQ(ReadFile(database), databaseBytes);
        EXPECT_EQ(ReadFile(templateFile), templateBytes);
        for (const char* output : {"out.html", "trail.sqlite", "same.html", "new.html"})
            EXPECT_FALSE(std::filesystem::exists(folder.File(output))) << output;
    }
    // Distinct files pass.
    EXPECT_EQ(Run("--report out.html --template Report.xsl --xml out.xml --audit trail.sqlite"), 0)
        << err;
    EXPECT_TRUE(std::filesystem::exists(folder.File("out.html")));
}

// A disk that fills up under the report (the file size limit of the process stands for it):
// the run ends with status 4, the earlier report and document are kept as they were, and no
// cut file is left beside them.
TEST_F(BatchOutputs, AReportOrDocumentThatCannotBeWrittenWholeKeepsTheEarlierOne) {
    for (const std::string output : {"--report out --template Report.xsl", "--xml out"}) {
        SCOPED_TRACE(output);
        const std::string target = folder.File("out");
        std::ofstream(target) << "the earlier one";
        const auto before = std::filesystem::directory_iterator(folder.Path());
        const std::size_t files =
            static_cast<std::size_t>(std::distance(before, std::filesystem::directory_iterator()));
        // 2 048 bytes at most per file; the signal is ignored so the write fails instead.
        EXPECT_EQ(Run(output, "trap '' XFSZ; ulimit -f 4;"), 4) << err;
        EXPECT_EQ(ReadFile(target), "the earlier one");
        const auto after = std::filesystem::directory_iterator(folder.Path());
        EXPECT_EQ(
            static_cast<std::size_t>(std::distance(after, std::filesystem::directory_iterator())),
            files);

        EXPECT_EQ(Run(output), 0) << err;
        EXPECT_GT(ReadFile(target).size(), 2048u);
    }
}

} // namespace
