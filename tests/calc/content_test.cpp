#include "calc/content.h"
#include "calc/message_log.h"
#include "tests/calc/determination.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>

namespace sepmet {
namespace {

using test::AddAbsorption;
using test::MakeAssay;
using test::MakePeak;
using test::WorkedConditions;
using ::testing::DoubleEq;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::u16string kMethanol = u"Метанол";
const char16_t* kRepeatability =
    u"     - Метанол: превышает предел повторяемости. Необходимо три измерения. п.13.7";
const char16_t* kCriticalRange = u"     - Метанол: превышает значение критического диапазона. "
                                 u"Выясните причины превышения критического диапазона. п.13.7";

// k_avg 0.05 and the worked-example conditions unless given; one absorption chromatogram per area,
// counted as `chromatograms` when given (a chromatogram with several methanol peaks).
struct ContentRun {
    explicit ContentRun(std::initializer_list<double> areas, int chromatograms = 0,
                        const MeasurementSettings& settings = WorkedConditions()) {
        state.settings = settings;
        state.calibrationTable[kMethanol].k_avg = 0.05;
        state.threeMeasurementsRequired = true; // an output: never read
        AssayCollection assays;
        AddAbsorption(assays, areas);
        CollectAbsorptionAreas(assays, state.contentTable);
        CalculateContent(state, chromatograms ? chromatograms : static_cast<int>(areas.size()),
                         log);
    }
    const ContentRecord& record() { return state.contentTable[kMethanol]; }

    CalculationState state;
    MessageLog log;
};

TEST(Content, WorkedExample) {
    ContentRun run({100, 102});
    const ContentRecord& r = run.record();
    EXPECT_THAT(r.solutionConcentrations, ElementsAre(DoubleEq(5), DoubleEq(5.1)));
    ASSERT_EQ(r.gasConcentrations.size(), 2u);
    EXPECT_DOUBLE_EQ(r.gasConcentrations[0], 0.05);
    EXPECT_DOUBLE_EQ(r.gasConcentrations[1], 0.051);
    EXPECT_DOUBLE_EQ(r.y_avg, 0.0505);
    EXPECT_NEAR(r.massFraction, 0.0072143, 5e-8);
    EXPECT_NEAR(r.molarFraction, 0.0037891, 5e-8);
    EXPECT_NEAR(r.uncertainty, 0.0108143, 5e-8);
    EXPECT_DOUBLE_EQ(r.uncertainty, 0.0505 * 0.01 * (25 - 71 * 0.0505));
    EXPECT_THAT(run.log.Errors(), IsEmpty());
    EXPECT_THAT(run.log.Warnings(), IsEmpty());
    EXPECT_FALSE(run.state.threeMeasurementsRequired);
}

TEST(Content, ReducedGasVolumeUsesTheMethodsConstants) {
    MeasurementSettings s = WorkedConditions();
    EXPECT_DOUBLE_EQ(ReducedGasVolume(s), 10);
    s.gasT = 0;
    s.atmP = 2 * 101.325;
    EXPECT_DOUBLE_EQ(ReducedGasVolume(s), 2 * 293.0 / 273 * 10);
}

TEST(Content, BracketBounds) {
    struct Case {
        double y, r, sigma, delta;
    } cases[] = {
        {0.0099, 0, 0, 0},
        {0.01, 17 - 0.47, 6.2 - 0.17, 25 - 0.71},
        {0.1, 17 - 4.7, 6.2 - 1.7, 25 - 7.1},
        {0.1000001, 14 - 1.1000011, 4.9 - 0.38000038, 20 - 1.5000015},
        {0.5, 14 - 5.5, 4.9 - 1.9, 20 - 7.5},
        {0.6, 0, 0, 0},
        {0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(RepeatabilityLimit(c.y), c.r, 1e-9) << c.y;
        EXPECT_NEAR(CriticalRangeDeviation(c.y), c.sigma, 1e-9) << c.y;
        EXPECT_NEAR(RelativeUncertainty(c.y), c.delta, 1e-9) << c.y;
    }
}

TEST(Content, RepeatabilityExceededDemandsAThirdMeasurement) {
    ContentRun run({100, 140});
    EXPECT_THAT(run.log.Warnings(), ElementsAre(kRepeatability));
    EXPECT_TRUE(run.state.threeMeasurementsRequired);
    EXPECT_EQ(run.record().y_avg, 0);
    EXPECT_EQ(run.record().massFraction, 0);
    EXPECT_EQ(run.record().uncertainty, 0);
}

TEST(Content, ContentAboveTheBracketsPassesOnlyWithEqualValues) {
    // 0.6 mg/dm3: the limit is 0, any difference exceeds it; equal values give δ 0.
    ContentRun equal({1200, 1200});
    EXPECT_DOUBLE_EQ(equal.record().y_avg, 0.6);
    EXPECT_EQ(equal.record().uncertainty, 0);
    EXPECT_GT(equal.record().massFraction, 0);
    ContentRun differ({1200, 1200.5});
    EXPECT_TRUE(differ.state.threeMeasurementsRequired);
}

TEST(Content, MeanTakesEveryAreaAndRepeatabilityTheFirstTwo) {
    // Two chromatograms, the first with two methanol peaks: three values, the test compares the
    // first two against the limit for the mean of all three.
    struct Case {
        double first, second, third;
        bool exceeded;
    } cases[] = {
        {100, 101, 160, false},
        // 0.05 and 0.057 differ by 13.08 %; the limit is 14.49 % for their own mean 0.0535 but
        // 12.87 % for the mean 0.1023 of all three.
        {100, 114, 400, true},
    };
    for (const Case& c : cases) {
        AssayCollection assays;
        assays.AddLoadedAssay(MakeAssay(1, u"поглот", {MakePeak(c.first), MakePeak(c.second)}));
        assays.AddLoadedAssay(MakeAssay(2, u"поглот", {MakePeak(c.third)}));
        CalculationState state;
        state.settings = WorkedConditions();
        state.calibrationTable[kMethanol].k_avg = 0.05;
        MessageLog log;
        CollectAbsorptionAreas(assays, state.contentTable);
        CalculateContent(state, 2, log);
        EXPECT_EQ(state.threeMeasurementsRequired, c.exceeded) << c.second;
        if (c.exceeded) {
            EXPECT_THAT(log.Warnings(), ElementsAre(kRepeatability));
            EXPECT_EQ(state.contentTable[kMethanol].y_avg, 0);
        } else {
            EXPECT_THAT(log.Warnings(), IsEmpty());
            EXPECT_DOUBLE_EQ(state.contentTable[kMethanol].y_avg,
                             (c.first + c.second + c.third) * 0.0005 / 3);
        }
    }
}

TEST(Content, CriticalRangeOfThreeMeasurements) {
    // Areas 93 and 108 exceed the repeatability limit for their own mean; 100 as the third stays
    // in range. The pair's verdict stays on record: a third measurement was required.
    ContentRun pass({93, 108, 100});
    EXPECT_TRUE(pass.state.threeMeasurementsRequired);
    EXPECT_THAT(pass.log.Errors(), IsEmpty());
    EXPECT_THAT(pass.log.Warnings(), IsEmpty());
    EXPECT_DOUBLE_EQ(pass.record().y_avg, (0.0465 + 0.054 + 0.05) / 3);
    EXPECT_GT(pass.record().uncertainty, 0);
    ASSERT_EQ(pass.record().tests.size(), 2u);
    EXPECT_DOUBLE_EQ(pass.record().tests[0].limitBasis, (0.0465 + 0.054) / 2);
    EXPECT_EQ(pass.record().tests[1].kind, ContentTest::Kind::CriticalRange);

    ContentRun fail({100, 140, 120});
    EXPECT_TRUE(fail.state.threeMeasurementsRequired);
    EXPECT_THAT(fail.log.Errors(), ElementsAre(kCriticalRange));
    EXPECT_EQ(fail.record().y_avg, 0);

    // A fourth value (the third chromatogram with two methanol peaks) widens the range: 0.0465 to
    // 0.075 is 56.8 % against a critical range of 17.3 %, while the first three span 14.95 %.
    ContentRun fourth({93, 108, 100, 150}, 3);
    EXPECT_THAT(fourth.log.Errors(), ElementsAre(kCriticalRange));
    EXPECT_EQ(fourth.record().y_avg, 0);
}

TEST(Content, ThirdMeasurementOfAPairWithinTheLimitIsRefused) {
    // 0.05 and 0.057 differ by 13.08 %: within the 14.49 % of the pair's mean 0.0535, so the third
    // was not needed. The limit of the mean of all three (0.1023: 12.87 %) would have failed them.
    ContentRun run({100, 114, 400});
    EXPECT_THAT(run.log.Errors(),
                ElementsAre(u"     - Добавлено больше 2 хроматограмм поглотительных растворов. "
                            u"п.13.7"));
    EXPECT_THAT(run.log.Warnings(), IsEmpty());
    EXPECT_FALSE(run.state.threeMeasurementsRequired);
    EXPECT_EQ(run.record().y_avg, 0);
    ASSERT_EQ(run.record().tests.size(), 1u);
    EXPECT_TRUE(run.record().tests[0].passed);
    EXPECT_DOUBLE_EQ(run.record().tests[0].limit, 17 - 47 * 0.0535);
}

TEST(Content, FewerMethanolPeaksThanTheTestReadsFailsWithoutReadingThem) {
    struct Case {
        std::initializer_list<double> areas;
        int chromatograms;
        const char16_t* error;
    } cases[] = {
        {{100},
         2,
         u"     - Метанол: найдено меньше 2 пиков Метанола в хроматограммах поглотительных "
         u"растворов. п.13.7"},
        {{},
         2,
         u"     - Метанол: найдено меньше 2 пиков Метанола в хроматограммах поглотительных "
         u"растворов. п.13.7"},
        {{100, 101},
         3,
         u"     - Метанол: найдено меньше 3 пиков Метанола в хроматограммах поглотительных "
         u"растворов. п.13.7"},
    };
    for (const Case& c : cases) {
        ContentRun run(c.areas, c.chromatograms);
        EXPECT_THAT(run.log.Errors(), ElementsAre(c.error));
        EXPECT_THAT(run.log.Warnings(), IsEmpty());
        EXPECT_EQ(run.record().y_avg, 0);
        EXPECT_EQ(run.record().uncertainty, 0);
        EXPECT_FALSE(run.state.threeMeasurementsRequired);
        EXPECT_THAT(run.record().tests, IsEmpty());
    }
}

TEST(Content, NumbersThatAreNotFiniteRefuseTheCalculation) {
    // Each condition passes the input check; together they overflow somewhere in the calculation.
    // No test runs, so no third measurement is demanded.
    struct Case {
        const char* what;
        double MeasurementSettings::*field;
        double value;
        std::initializer_list<double> areas;
    } cases[] = {
        {"X × vW overflows", &MeasurementSettings::vW, 1e308, {100, 102}},
        {"reduced volume infinite", &MeasurementSettings::vG, 1e308, {100, 102}},
        {"reduced volume infinite", &MeasurementSettings::atmP, 1e306, {100, 102}},
        {"reduced volume 0", &MeasurementSettings::gasT, 1e307, {100, 102}},
        {"mass fraction infinite", &MeasurementSettings::rhoG, 1e-320, {100, 102}},
        {"density in mg/dm3 infinite", &MeasurementSettings::rhoG, 1e308, {100, 102}},
        // 1.5e308 mg/dm3 twice: each value finite, their sum not.
        {"sum of the measurements infinite", &MeasurementSettings::vG, 1e-4, {3e306, 3e306}},
        {"reduced volume infinite", &MeasurementSettings::vG, 1e308, {93, 108, 100}},
        {"mass fraction infinite", &MeasurementSettings::rhoG, 1e-320, {93, 108, 100}},
    };
    for (const Case& c : cases) {
        MeasurementSettings settings = WorkedConditions();
        settings.*c.field = c.value;
        ContentRun run(c.areas, 0, settings);
        const ContentRecord& r = run.record();
        EXPECT_EQ(r.y_avg, 0) << c.what;
        EXPECT_EQ(r.uncertainty, 0) << c.what;
        EXPECT_EQ(r.massFraction, 0) << c.what;
        EXPECT_EQ(r.molarFraction, 0) << c.what;
        EXPECT_THAT(run.log.Errors(),
                    ElementsAre(u"     - Некорректные параметры значений в настройках."))
            << c.what;
        EXPECT_THAT(run.log.Warnings(), IsEmpty()) << c.what;
        EXPECT_FALSE(run.state.threeMeasurementsRequired) << c.what;
    }
}

TEST(Content, CollectsUsableMethanolAreasOfAbsorptionSolutions) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    AssayCollection assays;
    assays.AddLoadedAssay(
        MakeAssay(1, u"р-р поглот",
                  {MakePeak(kInf), MakePeak(10, -1), MakePeak(kNaN), MakePeak(0),
                   MakePeak(11, 0, u"метанол"), MakePeak(12, 0, u"Вода"), MakePeak(13, 0, u"")}));
    assays.AddLoadedAssay(MakeAssay(2, u"р-р град", {MakePeak(20, 5)}));
    assays.AddLoadedAssay(MakeAssay(3, u"град поглот", {MakePeak(30, 5)}));
    ContentTable table;
    table[u"старое"];
    CollectAbsorptionAreas(assays, table);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_THAT(table[kMethanol].areas, ElementsAre(10, 11, 30));
    ASSERT_EQ(table[kMethanol].sources.size(), 3u);
    EXPECT_EQ(table[kMethanol].sources[1].listNumber, 1u);
    EXPECT_EQ(table[kMethanol].sources[2].listNumber, 3u);
    EXPECT_EQ(table[kMethanol].sources[2].id, 3);
}

} // namespace
} // namespace sepmet
