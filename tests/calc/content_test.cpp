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

// k_avg 0.05 and the worked-example conditions unless given; one absorption chromatogram per area.
struct ContentRun {
    explicit ContentRun(std::initializer_list<double> areas, bool third = false,
                        const MeasurementSettings& settings = WorkedConditions()) {
        state.settings = settings;
        state.calibrationTable[kMethanol].k_avg = 0.05;
        state.threeMeasurementsRequired = third;
        AssayCollection assays;
        AddAbsorption(assays, areas);
        CollectAbsorptionAreas(assays, state.contentTable);
        CalculateContent(state, log);
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
    EXPECT_DOUBLE_EQ(ReducedGasVolume(s), 10000); // 10 dm3, times 1000
    s.gasT = 0;
    s.atmP = 2 * 101.325;
    EXPECT_DOUBLE_EQ(ReducedGasVolume(s), 2 * 293.0 / 273 * 10000);
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
        CalculateContent(state, log);
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
    // Areas 93 and 108 exceed the repeatability limit; 100 as the third stays in range.
    ContentRun pass({93, 108, 100}, true);
    EXPECT_FALSE(pass.state.threeMeasurementsRequired);
    EXPECT_THAT(pass.log.Errors(), IsEmpty());
    EXPECT_DOUBLE_EQ(pass.record().y_avg, (0.0465 + 0.054 + 0.05) / 3);
    EXPECT_GT(pass.record().uncertainty, 0);

    ContentRun fail({100, 140, 120}, true);
    EXPECT_FALSE(fail.state.threeMeasurementsRequired);
    EXPECT_THAT(fail.log.Errors(), ElementsAre(kCriticalRange));
    EXPECT_EQ(fail.record().y_avg, 0);

    // A fourth value (a chromatogram with two methanol peaks) widens the range: 0.0465 to 0.075
    // is 56.8 % against a critical range of 17.3 %, while the first three alone span 14.95 %.
    ContentRun fourth({93, 108, 100, 150}, true);
    EXPECT_THAT(fourth.log.Errors(), ElementsAre(kCriticalRange));
    EXPECT_EQ(fourth.record().y_avg, 0);
}

TEST(Content, FewerMethanolPeaksThanTheTestReadsFailsWithoutReadingThem) {
    struct Case {
        std::initializer_list<double> areas;
        bool third;
        const char16_t* error;
    } cases[] = {
        {{100},
         false,
         u"     - Метанол: найдено меньше 2 пиков Метанола в хроматограммах поглотительных "
         u"растворов. п.13.7"},
        {{},
         false,
         u"     - Метанол: найдено меньше 2 пиков Метанола в хроматограммах поглотительных "
         u"растворов. п.13.7"},
        {{100, 101},
         true,
         u"     - Метанол: найдено меньше 3 пиков Метанола в хроматограммах поглотительных "
         u"растворов. п.13.7"},
    };
    for (const Case& c : cases) {
        ContentRun run(c.areas, c.third);
        EXPECT_THAT(run.log.Errors(), ElementsAre(c.error));
        EXPECT_THAT(run.log.Warnings(), IsEmpty());
        EXPECT_EQ(run.record().y_avg, 0);
        EXPECT_EQ(run.record().uncertainty, 0);
        EXPECT_EQ(run.state.threeMeasurementsRequired, c.third);
    }
}

TEST(Content, NumbersThatAreNotFiniteRefuseTheCalculation) {
    // Each condition passes the input check; together they overflow somewhere in the calculation.
    // The demand for a third measurement stays as it was.
    struct Case {
        const char* what;
        double MeasurementSettings::*field;
        double value;
        std::initializer_list<double> areas;
        bool third;
    } cases[] = {
        {"X × vW overflows", &MeasurementSettings::vW, 1e308, {100, 102}, false},
        {"reduced volume infinite", &MeasurementSettings::vG, 1e308, {100, 102}, false},
        {"reduced volume infinite", &MeasurementSettings::atmP, 1e306, {100, 102}, false},
        {"reduced volume 0", &MeasurementSettings::gasT, 1e307, {100, 102}, false},
        {"mass fraction infinite", &MeasurementSettings::rhoG, 1e-320, {100, 102}, false},
        {"density in mg/dm3 infinite", &MeasurementSettings::rhoG, 1e308, {100, 102}, false},
        // 1.5e308 mg/dm3 twice: each value finite, their sum not.
        {"sum of the measurements infinite", &MeasurementSettings::vG, 1e-4, {3e306, 3e306}, false},
        {"reduced volume infinite", &MeasurementSettings::vG, 1e308, {93, 108, 100}, true},
        {"mass fraction infinite", &MeasurementSettings::rhoG, 1e-320, {93, 108, 100}, true},
    };
    for (const Case& c : cases) {
        MeasurementSettings settings = WorkedConditions();
        settings.*c.field = c.value;
        ContentRun run(c.areas, c.third, settings);
        const ContentRecord& r = run.record();
        EXPECT_EQ(r.y_avg, 0) << c.what;
        EXPECT_EQ(r.uncertainty, 0) << c.what;
        EXPECT_EQ(r.massFraction, 0) << c.what;
        EXPECT_EQ(r.molarFraction, 0) << c.what;
        EXPECT_THAT(run.log.Errors(),
                    ElementsAre(u"     - Некорректные параметры значений в настройках."))
            << c.what;
        EXPECT_THAT(run.log.Warnings(), IsEmpty()) << c.what;
        EXPECT_EQ(run.state.threeMeasurementsRequired, c.third) << c.what;
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
}

} // namespace
} // namespace sepmet
