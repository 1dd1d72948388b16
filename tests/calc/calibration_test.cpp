#include "calc/calibration.h"
#include "calc/component_name.h"
#include "calc/message_log.h"
#include "tests/calc/determination.h"

#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>

namespace sepmet {
namespace {

using test::AddCalibration;
using test::CalibrationLevel;
using test::MakeAssay;
using test::MakePeak;
using test::UniformCalibration;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::u16string kMethanol = u"Метанол";
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

double Checked(const std::vector<CalibrationLevel>& levels, MessageLog& log,
               CalibrationRecord* checked = nullptr) {
    AssayCollection assays;
    AddCalibration(assays, levels);
    CalibrationTable table;
    BuildCalibrationTable(assays, table);
    CheckCalibration(table, log);
    if (checked)
        *checked = table[kMethanol];
    return table[kMethanol].k_avg;
}

std::vector<LevelOutcome> Outcomes(const CalibrationRecord& record) {
    std::vector<LevelOutcome> outcomes;
    for (const LevelCheck& check : record.levelChecks)
        outcomes.push_back(check.outcome);
    return outcomes;
}

TEST(Calibration, CountRule) {
    struct Case {
        int count;
        bool ready;
        const char16_t* error;
    } cases[] = {
        {9, false, u"     - Добавлено меньше 10 хроматограмм градуировочных растворов. п. 13.3.3"},
        {10, true, nullptr},
        {11, false, u"     - Добавлено больше 10 хроматограмм градуировочных растворов. п. 13.3.3"},
        {0, false, u"     - Добавлено меньше 10 хроматограмм градуировочных растворов. п. 13.3.3"},
    };
    for (const Case& c : cases) {
        MessageLog log;
        EXPECT_EQ(ApplyCalibrationCountRule(c.count, log), c.ready) << c.count;
        if (c.error)
            EXPECT_THAT(log.Errors(), ElementsAre(c.error));
        else
            EXPECT_THAT(log.Errors(), IsEmpty());
    }
}

TEST(Calibration, CountsSampleTextsOnly) {
    AssayCollection assays;
    assays.AddLoadedAssay(MakeAssay(1, u"5 мг град", {}));
    assays.AddLoadedAssay(MakeAssay(2, u"Град 5", {MakePeak(1, 5)}));
    assays.AddLoadedAssay(MakeAssay(3, u"град поглот", {}));
    EXPECT_EQ(CountCalibrationSolutions(assays), 2);
}

TEST(Calibration, GroupingBounds) {
    struct Case {
        double concentration;
        std::optional<double> nominal;
    } cases[] = {
        {4.25, 5},
        {5.75, 5},
        {5.76, std::nullopt},
        {21.25, 25},
        {171, 150},
        {172.5, 150},
        {173, 200},
        {230, 200},
        {300, std::nullopt},
        {0, std::nullopt},
        {-5, std::nullopt},
        {kNaN, std::nullopt},
        {kInf, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NominalConcentration(c.concentration), c.nominal) << c.concentration;
}

TEST(Calibration, GathersOnlyUsableMethanolPeaksOfCalibrationSolutions) {
    AssayCollection assays;
    assays.AddLoadedAssay(
        MakeAssay(1, u"р-р град",
                  {MakePeak(10, 5), MakePeak(11, 171, u"МЕТАНОЛ"), MakePeak(12, 5, u"метанол"),
                   MakePeak(13, 5, u"Метанол "), MakePeak(14, 5, u"Этанол"), MakePeak(0, 5),
                   MakePeak(-1, 5), MakePeak(kNaN, 5), MakePeak(kInf, 5), MakePeak(15, -5),
                   MakePeak(16, 300), MakePeak(17, 5, u"")}));
    assays.AddLoadedAssay(MakeAssay(2, u"р-р поглот", {MakePeak(20, 5)}));
    CalibrationTable table;
    table[u"старое"];
    BuildCalibrationTable(assays, table);

    ASSERT_EQ(table.size(), 1u);
    const auto& levels = table[kMethanol].levels;
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_THAT(levels.at(5), ElementsAre(10, 12));
    EXPECT_THAT(levels.at(150), ElementsAre(11));
}

TEST(Calibration, ComponentNameIgnoresLetterCaseOnly) {
    EXPECT_TRUE(IsComponentName(u"Метанол"));
    EXPECT_TRUE(IsComponentName(u"МЕТАНОЛ"));
    EXPECT_TRUE(IsComponentName(u"мЕтАнОл"));
    EXPECT_FALSE(IsComponentName(u"Метанол "));
    EXPECT_FALSE(IsComponentName(u"Метано"));
    EXPECT_FALSE(IsComponentName(u"Methanol"));
    EXPECT_FALSE(IsComponentName(u""));
}

TEST(Calibration, UniformPairsGiveTheCoefficientWithoutMessages) {
    MessageLog log;
    EXPECT_DOUBLE_EQ(Checked(UniformCalibration(0.05), log), 0.05);
    EXPECT_THAT(log.Errors(), IsEmpty());
}

TEST(Calibration, MeansAreRoundedToFourDecimals) {
    // Pairs 2.4 % either side of 0.0500, 0.0501, 0.0502, 0.0504, 0.0509: mean 0.05032.
    const double means[] = {0.05, 0.0501, 0.0502, 0.0504, 0.0509};
    std::vector<CalibrationLevel> levels;
    int i = 0;
    for (double c : {5.0, 25.0, 100.0, 150.0, 200.0}) {
        const double k = means[i++];
        levels.push_back({c, {c / (k * 1.024), c / (k * 0.976)}});
    }
    MessageLog log;
    EXPECT_DOUBLE_EQ(Checked(levels, log), 0.0503);
    EXPECT_THAT(log.Errors(), IsEmpty());
}

TEST(Calibration, RoundsHalfAwayFromZero) {
    EXPECT_DOUBLE_EQ(RoundToFourDecimals(0.00025), 0.0003);
    EXPECT_DOUBLE_EQ(RoundToFourDecimals(-0.00025), -0.0003);
    EXPECT_DOUBLE_EQ(RoundToFourDecimals(0.00035), 0.0004);
    EXPECT_DOUBLE_EQ(RoundToFourDecimals(0.049449), 0.0494);
}

TEST(Calibration, DeviationOfExactlyFivePercentPasses) {
    // At 5 mg/dm3 with the pair mean 0.0102 the two coefficients lie exactly 5 % off it.
    auto levels = UniformCalibration(0.05);
    levels[0].areas = {5 / (0.0102 * 1.05), 5 / (0.0102 * 0.95)};
    MessageLog log;
    EXPECT_DOUBLE_EQ(Checked(levels, log), RoundToFourDecimals((0.0102 + 4 * 0.05) / 5));
    EXPECT_THAT(log.Errors(), IsEmpty());

    levels[0].areas[0] *= 1 - 1e-9; // a hair beyond 5 %
    MessageLog failed;
    EXPECT_EQ(Checked(levels, failed), 0);
    EXPECT_THAT(failed.Errors(),
                ElementsAre(u"     - Расхождение между каждым определенным градуировочным "
                            u"коэффициентом и средним значением превышает 5 процентов п.13.3.3 "
                            u"(при концентрации = 5,00)."));
}

TEST(Calibration, ReportsEveryFailingConcentrationInAscendingOrder) {
    auto levels = UniformCalibration(0.05);
    levels[3].areas = {150 / 0.05, 150 / 0.06}; // 150: coefficients 9 % apart
    levels[1].areas.push_back(25 / 0.05);       // 25: three areas
    levels[0].areas.pop_back();                 // 5: one area
    MessageLog log;
    CalibrationRecord record;
    EXPECT_EQ(Checked(levels, log, &record), 0);
    // Every level keeps the figures it was judged by.
    EXPECT_THAT(Outcomes(record),
                ElementsAre(LevelOutcome::NotTwoAreas, LevelOutcome::NotTwoAreas,
                            LevelOutcome::Passed, LevelOutcome::Deviation, LevelOutcome::Passed));
    const LevelCheck& failed = record.levelChecks[3];
    EXPECT_EQ(failed.concentration, 150);
    EXPECT_DOUBLE_EQ(failed.k1, 150 / (150 / 0.05));
    EXPECT_DOUBLE_EQ(failed.k2, 150 / (150 / 0.06));
    EXPECT_DOUBLE_EQ(failed.k, 0.055);
    EXPECT_DOUBLE_EQ(failed.d1, std::fabs(failed.k1 - 0.055) / 0.055 * 100);
    EXPECT_DOUBLE_EQ(failed.d2, std::fabs(failed.k2 - 0.055) / 0.055 * 100);
    EXPECT_EQ(record.levelChecks[2].k, 0.05);
    EXPECT_THAT(log.Errors(),
                ElementsAre(u"     - Для концентрации = 5,00 мг/дм? необходимо две хроматограммы "
                            u"п.13.3.3 (в каждой по одному пику Метанола).",
                            u"     - Для концентрации = 25,00 мг/дм? необходимо две хроматограммы "
                            u"п.13.3.3 (в каждой по одному пику Метанола).",
                            u"     - Расхождение между каждым определенным градуировочным "
                            u"коэффициентом и средним значением превышает 5 процентов п.13.3.3 "
                            u"(при концентрации = 150,00)."));
}

TEST(Calibration, FewerThanFiveConcentrationsIsOneError) {
    const char16_t* error =
        u"     - Для Метанол количество концентраций отличается от 5. Проверьте данные п.13.3.";
    auto four = UniformCalibration(0.05);
    four.pop_back();
    four[0].areas.push_back(1); // would be a per-level error, but is never examined
    MessageLog log;
    CalibrationRecord record;
    EXPECT_EQ(Checked(four, log, &record), 0);
    EXPECT_THAT(log.Errors(), ElementsAre(error));
    EXPECT_THAT(Outcomes(record), ElementsAre(LevelOutcome::NotTested, LevelOutcome::NotTested,
                                              LevelOutcome::NotTested, LevelOutcome::NotTested,
                                              LevelOutcome::Missing));

    // No methanol at all: the record exists afterwards, with zero concentrations.
    CalibrationTable table;
    MessageLog empty;
    BuildCalibrationTable(AssayCollection{}, table);
    CheckCalibration(table, empty);
    EXPECT_THAT(empty.Errors(), ElementsAre(error));
    ASSERT_EQ(table.count(kMethanol), 1u);
    EXPECT_EQ(table[kMethanol].k_avg, 0);
}

} // namespace
} // namespace sepmet
