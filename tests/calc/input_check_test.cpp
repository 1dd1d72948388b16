#include "calc/input_check.h"
#include "calc/message_log.h"
#include "tests/calc/determination.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>

namespace sepmet {
namespace {

using test::AddAbsorption;
using test::AddCalibration;
using test::UniformCalibration;
using test::WorkedConditions;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(InputCheck, EmptyListEndsTheCheckAndKeepsTheConditionsFlag) {
    CalculationState state; // conditions all 0: would be refused if they were tested
    MessageLog log;
    log.AddError(u"старое");
    ReadinessFlags flags{true, true, true};
    CheckInput(AssayCollection{}, state, log, flags);
    EXPECT_THAT(log.Errors(), ElementsAre(u"     - Список хроматограмм пуст."));
    EXPECT_THAT(log.Warnings(), IsEmpty());
    EXPECT_FALSE(flags.calibrationReady);
    EXPECT_FALSE(flags.absorptionReady);
    EXPECT_TRUE(flags.conditionsReady);
}

TEST(InputCheck, AbsorptionCount) {
    // Two or three pass whatever earlier recalculations found; the flag is never read.
    const char16_t* fewer =
        u"     - Добавлено меньше 2 хроматограмм поглотительных растворов. п.13.7";
    const char16_t* more =
        u"     - Добавлено больше 2 хроматограмм поглотительных растворов. п.13.7";
    struct Case {
        std::initializer_list<double> areas;
        bool ready;
        const char16_t* error;
    } cases[] = {
        {{1}, false, fewer},
        {{1, 2}, true, nullptr},
        {{1, 2, 3}, true, nullptr},
        {{1, 2, 3, 4}, false, more},
    };
    for (const Case& c : cases)
        for (bool flag : {false, true}) {
            AssayCollection assays;
            AddCalibration(assays, UniformCalibration(0.05));
            AddAbsorption(assays, c.areas);
            CalculationState state;
            state.settings = WorkedConditions();
            state.threeMeasurementsRequired = flag;
            MessageLog log;
            ReadinessFlags flags;
            CheckInput(assays, state, log, flags);
            SCOPED_TRACE(testing::Message() << c.areas.size() << " " << flag);
            EXPECT_EQ(flags.absorptionReady, c.ready);
            EXPECT_TRUE(flags.calibrationReady);
            EXPECT_TRUE(flags.conditionsReady);
            if (c.error)
                EXPECT_THAT(log.Errors(), ElementsAre(c.error));
            else
                EXPECT_THAT(log.Errors(), IsEmpty());
            EXPECT_THAT(log.Warnings(), IsEmpty());
        }
}

TEST(InputCheck, Conditions) {
    struct Case {
        double MeasurementSettings::*field;
        double value;
        bool ready;
    } cases[] = {
        {&MeasurementSettings::vW, 0, false},       {&MeasurementSettings::vG, -1, false},
        {&MeasurementSettings::rhoG, 0, false},     {&MeasurementSettings::atmP, 0, false},
        {&MeasurementSettings::vG, kNaN, false},    {&MeasurementSettings::vW, kInf, false},
        {&MeasurementSettings::atmP, -kInf, false}, {&MeasurementSettings::gasT, 0, true},
        {&MeasurementSettings::gasT, -10, true},    {&MeasurementSettings::gasT, -272.9, true},
        {&MeasurementSettings::gasT, -273, false},  {&MeasurementSettings::gasT, -300, false},
        {&MeasurementSettings::gasT, kNaN, false},  {&MeasurementSettings::gasT, kInf, false},
        {&MeasurementSettings::rhoG, 1e-300, true},
    };
    for (const Case& c : cases) {
        AssayCollection assays;
        AddAbsorption(assays, {1, 2});
        CalculationState state;
        state.settings = WorkedConditions();
        state.settings.*c.field = c.value;
        MessageLog log;
        ReadinessFlags flags;
        CheckInput(assays, state, log, flags);
        EXPECT_EQ(flags.conditionsReady, c.ready) << c.value;
        EXPECT_EQ(ConditionsAcceptable(state.settings), c.ready);
        const bool logged =
            log.Errors().back() == u"     - Некорректные параметры значений в настройках.";
        EXPECT_EQ(logged, !c.ready) << c.value;
    }
}

} // namespace
} // namespace sepmet
