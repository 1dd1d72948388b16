// Runs the sepmet-batch program on the demo analysis database, as the demo and automation do.

#include "batch/batch_options.h"
#include "tests/support/read_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Result {
    int status;
    std::string out; // standard output
    std::string err; // standard error
    std::string all() const { return out + err; }
};

Result RunProgram(const std::string& arguments) {
    const char* dir = std::getenv("TMPDIR");
    const std::string errPath = std::string(dir && *dir ? dir : "/tmp") + "/sepmet-batch-err-" +
                                std::to_string(getpid()) + ".txt";
    const std::string command = std::string(SEPMET_BATCH_EXE) + " " + arguments + " 2>" + errPath;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {-1, "", ""};
    std::string out;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int status = pclose(pipe);
    std::string err = sepmet::testing::ReadFile(errPath);
    std::remove(errPath.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, err};
}

class BatchProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* dir = std::getenv("TMPDIR");
        database = new std::string(std::string(dir && *dir ? dir : "/tmp") + "/sepmet-demo-" +
                                   std::to_string(getpid()) + ".db");
        const std::string command = std::string(SEPMET_DEMO_DATABASE_EXE) + " " + *database;
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    static void TearDownTestSuite() {
        std::remove(database->c_str());
        delete database;
    }

    static std::string* database;
};

std::string* BatchProgram::database = nullptr;

TEST_F(BatchProgram, DemoDeterminationPassesEveryCheck) {
    Result r = RunProgram("--db " + *database + " --vW 100 --vG 10 --rhoG 0.7 --add 1-12");
    ASSERT_EQ(r.status, 0) << r.all();
    EXPECT_EQ(r.out, "Градуировка\n"
                     "№\tКомпонент\tК градуировочный\n"
                     "1\tМетанол\t0,0493\n"
                     "\n"
                     "Расчет\n"
                     "№\tКомпонент\tМасс. концентр. ,мг/дм3\tМасс. доля , %\tМолярная доля , %\n"
                     "1\tМетанол\t0,120736 ± 0,021961\t0,017248\t0,009059\n"
                     "\n"
                     "Сист. сообщения\n"
                     "Ошибок нет!\n"
                     "Предупреждений нет!\n");
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The text of `key` in a JSON line: from the key to the next key at the same place.
std::string Field(const std::string& line, const std::string& key, const std::string& next) {
    const std::size_t from = line.find("\"" + key + "\":");
    const std::size_t to = line.find(",\"" + next + "\":", from);
    if (from == std::string::npos || to == std::string::npos)
        return "(missing " + key + ")";
    return line.substr(from, to - from);
}

// A double as the JSON writer gives it: 17 significant digits.
std::string Number(double value) {
    char buffer[32];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return std::string(buffer, result.ptr);
}

TEST_F(BatchProgram, JsonLinePerCommand) {
    Result r = RunProgram("--db " + *database +
                          " --vW 100 --vG 10 --rhoG 0,7 --json --add 1-10,16,17 --add 13");
    ASSERT_EQ(r.status, 0) << r.all();
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out;
    const std::string& first = lines[0];
    const std::string& second = lines[1];

    // The pair 16, 17 exceeds the repeatability limit: no content, null wherever a number would be
    // read as one.
    EXPECT_EQ(first.rfind("{\"command\":\"--add\",\"argument\":\"1-10,16,17\","
                          "\"assays\":[1,2,3,4,5,6,7,8,9,10,16,17],"
                          "\"calibrationReady\":true,\"absorptionReady\":true,"
                          "\"conditionsReady\":true,\"grad\":[[\"1\",\"Метанол\",\"0,0493\"]],"
                          "\"calc\":[[\"1\",\"Метанол\",\"—\",\"—\",\"—\"]],",
                          0),
              0u)
        << first;
    EXPECT_NE(first.find("\"k_avg\":0.049299999999999997,\"y_avg\":null,\"uncertainty\":null,"
                         "\"massFraction\":null,\"molarFraction\":null,\"areas\":[238,275],"
                         "\"threeMeasurementsRequired\":true,"),
              std::string::npos)
        << first;
    EXPECT_NE(first.find("\"test\":\"repeatability\","), std::string::npos);
    EXPECT_NE(first.find("\"passed\":false,\"delta\":null}}}"), std::string::npos) << first;
    // 13 as the third breaks the critical range; the pair's verdict stays on record.
    EXPECT_NE(second.find("\"messages\":[\"Ошибки!\",\"     - Метанол: превышает значение "
                          "критического диапазона. Выясните причины превышения критического "
                          "диапазона. п.13.7\",\"Предупреждений нет!\"]"),
              std::string::npos)
        << second;
    EXPECT_NE(second.find("\"threeMeasurementsRequired\":true,"), std::string::npos);
    EXPECT_NE(second.find("\"test\":\"criticalRange\","), std::string::npos) << second;
}

TEST_F(BatchProgram, JsonDetailsEqualTheFormulas) {
    Result r = RunProgram("--db " + *database + " --vW 100 --vG 10 --rhoG 0.7 --json --add 1-12");
    ASSERT_EQ(r.status, 0) << r.all();
    const std::string line = Lines(r.out).at(0);
    // The first level: K1 = c / S1, K2 = c / S2, K their mean rounded to four decimals, d in %.
    const double k1 = 5 / 101.87, k2 = 5 / 100.95, k = 0.0493;
    EXPECT_NE(line.find("\"levels\":[{\"c\":5,\"areas\":[101.87,100.95],\"K1\":" + Number(k1) +
                        ",\"K2\":" + Number(k2) + ",\"K\":" + Number(k) +
                        ",\"d1\":" + Number(std::fabs(k1 - k) / k * 100) +
                        ",\"d2\":" + Number(std::fabs(k2 - k) / k * 100) +
                        ",\"passed\":true,\"outcome\":\"passed\"},{"),
              std::string::npos)
        << line;
    // Chromatogram 11: X = k_avg × S, Y = X × vW / (V × 1000), V the reduced gas volume.
    const double volume = 101.325 * 293 / ((20 + 273) * 101.325) * 10;
    const double x11 = k * 243.6, x12 = k * 246.2;
    const double y11 = x11 * 100 / (volume * 1000), y12 = x12 * 100 / (volume * 1000);
    const double y = (0 + y11 + y12) / 2;
    EXPECT_EQ(Field(line, "content", "reducedVolume"),
              "\"content\":{\"measurements\":[{\"id\":11,\"area\":243.59999999999999,\"X\":" +
                  Number(x11) + ",\"Y\":" + Number(y11) +
                  "},{\"id\":12,\"area\":246.19999999999999,\"X\":" + Number(x12) +
                  ",\"Y\":" + Number(y12) + "}]");
    EXPECT_EQ(Field(line, "reducedVolume", "test"), "\"reducedVolume\":" + Number(volume));
    EXPECT_EQ(Field(line, "D", "passed"),
              "\"D\":" + Number(std::fabs(y11 - y12) * 2 * 100 / (y12 + y11)) +
                  ",\"limit\":" + Number(14 - 11 * y));
    EXPECT_NE(line.find("\"passed\":true,\"delta\":" + Number(20 - 15 * y) + "}}}"),
              std::string::npos)
        << line;
}

TEST_F(BatchProgram, FailedRepeatabilityPrintsDashesAndTheReportNoResult) {
    const std::string html = *database + "-dashes.html";
    Result r = RunProgram("--db " + *database + " --vW 100 --vG 10 --rhoG 0.7 --report " + html +
                          " --template " SEPMET_SOURCE_DIR
                          "/share/Orvane4/Templates/sepmet/Report.xsl --add 1-10,16,17");
    ASSERT_EQ(r.status, 0) << r.all();
    EXPECT_NE(r.out.find("Расчет\n№\tКомпонент\tМасс. концентр. ,мг/дм3\tМасс. доля , %\t"
                         "Молярная доля , %\n1\tМетанол\t—\t—\t—\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.err.find("report written to " + html), std::string::npos) << r.err;
    const std::string report = sepmet::testing::ReadFile(html);
    EXPECT_NE(report.find("Результат не получен. Причины указаны в разделе «Системные "
                          "сообщения»."),
              std::string::npos);
    EXPECT_EQ(report.find("0,000000"), std::string::npos);
    std::remove(html.c_str());
}

TEST_F(BatchProgram, ThirdMeasurementGivesTheSameResultAfterAddAndReload) {
    Result r = RunProgram("--db " + *database +
                          " --vW 100 --vG 10 --rhoG 0.7 --json --add 1-10,16,17 --add 18 --reload");
    ASSERT_EQ(r.status, 0) << r.all();
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    const std::string added = Field(lines[1], "calc", "messages");
    EXPECT_NE(added.find("\"1\",\"Метанол\",\"0,127851 ± 0,023118\""), std::string::npos) << added;
    EXPECT_EQ(Field(lines[2], "calc", "messages"), added);
    EXPECT_EQ(Field(lines[2], "messages", "k_avg"), Field(lines[1], "messages", "k_avg"));
    EXPECT_NE(lines[2].find("\"threeMeasurementsRequired\":true,"), std::string::npos);
}

TEST_F(BatchProgram, ExitStatusForBadUsageAndUnusableDatabases) {
    struct Case {
        std::string arguments;
        int status;
        const char* says;
    } cases[] = {
        {"--add 1", 2, "--db FILE is required"},
        {"--db " + *database + " --add 1-x", 2, "bad identifier"},
        {"--db " + *database + " --gasT warm --add 1", 2, "is not a number"},
        {"--db /nonexistent/sepmet.db --add 1", 3, "no such file"},
        {"--db /tmp --add 1", 3, "not a regular file"},
        {"--db " + std::string(SEPMET_BATCH_EXE) + " --add 1", 3, "file is not a database"},
        {"--db " + *database + " --gasT -273 --add 1-12", 0, "Некорректные параметры"},
        // Each condition accepted, the calculation overflows: refused, not a result or zeros.
        {"--db " + *database + " --vW 100 --vG 10 --rhoG 1e-320 --add 1-12", 0,
         "Ошибки!\n     - Некорректные параметры"},
        {"--db " + *database + " --vW 100 --vG 1e308 --rhoG 0.7 --add 1-12", 0,
         "Ошибки!\n     - Некорректные параметры"},
        {"--db " + *database + " --template x.xsl --add 1", 2, "--template goes with --report"},
        {"--db " + *database +
             " --report /nonexistent/r.html --template " SEPMET_SOURCE_DIR
             "/share/Orvane4/Templates/sepmet/Report.xsl --add 1-12",
         4, "Не удалось создать отчёт."},
        {"--db " + *database + " --report r.html --template /nonexistent/t.xsl --add 1-12", 4,
         "Не удалось загрузить шаблон отчёта."},
    };
    for (const Case& c : cases) {
        Result r = RunProgram(c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments << "\n" << r.all();
        EXPECT_NE(r.all().find(c.says), std::string::npos) << r.all();
    }
}

TEST_F(BatchProgram, HelpAndVersionAnswerOnStandardOutput) {
    for (const char* option : {"--help", "-h", "--db /nonexistent.db --vW 1 --help"}) {
        Result r = RunProgram(option);
        EXPECT_EQ(r.status, 0) << option;
        EXPECT_EQ(r.out, sepmet::batch::UsageText()) << option;
        EXPECT_EQ(r.err, "") << option;
    }
    Result version = RunProgram("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "sepmet-batch 1.0.2.0\n");
    EXPECT_EQ(version.err, "");
}

TEST_F(BatchProgram, IdentifierWithoutChromatogramIsReportedAndTheCommandRuns) {
    Result r = RunProgram("--db " + *database +
                          " --vW 100 --vG 10 --rhoG 0.7 --json --add 99999,1-12,99999 --add 77777");
    EXPECT_EQ(r.status, 0) << r.all();
    EXPECT_EQ(r.err, "sepmet-batch: no chromatogram 99999 in the database\n"
                     "sepmet-batch: no chromatogram 77777 in the database\n");
    const std::string assays = "\"assays\":[1,2,3,4,5,6,7,8,9,10,11,12]";
    const std::size_t firstEnd = r.out.find('\n');
    ASSERT_NE(firstEnd, std::string::npos) << r.out;
    EXPECT_NE(r.out.substr(0, firstEnd).find(assays), std::string::npos) << r.out;
    EXPECT_NE(r.out.substr(0, firstEnd).find("\"y_avg\":0.12073"), std::string::npos) << r.out;
    // The command that added nothing still recalculates, as the window's "+" does.
    EXPECT_NE(r.out.find("{\"command\":\"--add\",\"argument\":\"77777\"," + assays),
              std::string::npos)
        << r.out;
}

using sepmet::testing::ReadFile;

TEST_F(BatchProgram, ReportAndDocumentShowWhatThePagesShow) {
    const std::string html = *database + ".html";
    const std::string xml = *database + ".xml";
    Result r = RunProgram("--db " + *database + " --vW 100 --vG 10 --rhoG 0.7 --report " + html +
                          " --template " SEPMET_SOURCE_DIR
                          "/share/Orvane4/Templates/sepmet/Report.xsl --xml " +
                          xml + " --add 1-12");
    ASSERT_EQ(r.status, 0) << r.all();
    const std::string report = ReadFile(html);
    for (const char* value : {"0,0493", "0,120736", "0,021961", "0,017248", "0,009059"})
        EXPECT_NE(report.find(value), std::string::npos) << value;
    const std::string document = ReadFile(xml);
    ASSERT_GE(document.size(), 10u);
    EXPECT_EQ(document.substr(0, 4), std::string("<\0?\0", 4)); // UTF-16LE, no byte-order mark
    std::remove(html.c_str());
    std::remove(xml.c_str());
}

} // namespace
