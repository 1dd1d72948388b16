#include "tests/support/demo_determination.h"

#include "demo/demo_database.h"
#include "platform/utf.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace sepmet::testing {

DemoDatabase::DemoDatabase() : path_(folder_.File("demo.db")) {
    EXPECT_EQ(demo::WriteDemoDatabase(path_), "");
}

std::vector<std::int32_t> IdRange(std::int32_t first, std::int32_t last) {
    std::vector<std::int32_t> ids;
    for (std::int32_t id = first; id <= last; ++id)
        ids.push_back(id);
    return ids;
}

std::vector<DemoSequence> DemoSequences() {
    const std::vector<std::int32_t> calibration = IdRange(1, 10);
    return {
        {"third absorption solution, reloaded",
         {calibration, {11, 12}, {13}},
         true,
         "--add 1-12 --add 13 --reload"},
        {"repeatability exceeded, then recalculated",
         {calibration, {16, 17}},
         true,
         "--add 1-10,16,17 --reload"},
        {"third measurement, then recalculated",
         {calibration, {16, 17}, {18}},
         true,
         "--add 1-10,16,17 --add 18 --reload"},
        {"a check calibration", {calibration, {14, 11, 12}}, false, "--add 1-10,14,11,12"},
        {"absorption without methanol", {calibration, {11, 15}}, false, "--add 1-11,15"},
        {"calibration only", {calibration}, false, "--add 1-10"},
    };
}

std::string ProgramOutput(const std::string& program, const std::string& arguments) {
#if defined(_WIN32)
    // cmd.exe takes off the outermost quotes: the whole line is quoted once more.
    const std::string command = "\"\"" + program + "\" " + arguments + "\"";
    FILE* pipe = _popen(command.c_str(), "rb");
#else
    const std::string command = "\"" + program + "\" " + arguments;
    FILE* pipe = popen(command.c_str(), "r");
#endif
    if (!pipe)
        return {};
    std::string out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
#if defined(_WIN32)
    _pclose(pipe);
#else
    pclose(pipe);
#endif
    return out;
}

std::string TabbedLines(const std::vector<std::vector<std::u16string>>& rows) {
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t cell = 0; cell < row.size(); ++cell)
            text += (cell ? "\t" : "") + ToUtf8(row[cell]);
        text += "\n";
    }
    return text;
}

std::string BatchPagesText(const std::string& calibrationGrid, const std::string& calculationGrid,
                           const std::string& messageLines) {
    return "Градуировка\n" + calibrationGrid + "\nРасчет\n" + calculationGrid +
           "\nСист. сообщения\n" + messageLines;
}

} // namespace sepmet::testing
