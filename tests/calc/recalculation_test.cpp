#include "calc/message_log.h"
#include "calc/recalculation.h"
#include "tests/calc/determination.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace sepmet {
namespace {

using test::AddAbsorption;
using test::AddCalibration;
using test::Determination;
using test::UniformCalibration;
using test::WorkedConditions;
using ::testing::ElementsAre;

const std::u16string kMethanol = u"Метанол";

class Recalculation : public ::testing::Test {
protected:
    Recalculation() { state.settings = WorkedConditions(); }

    RecalculationOutcome Run(const AssayCollection& assays) {
        return Recalculate(assays, state, log, flags);
    }

    CalculationState state;
    MessageLog log;
    ReadinessFlags flags;
};

TEST_F(Recalculation, WorkedExampleFillsBothPages) {
    RecalculationOutcome out = Run(Determination({100, 102}));
    EXPECT_EQ(out.gradPage.change, PageChange::Refill);
    EXPECT_EQ(out.gradPage.rows, (PageRows{{u"1", u"Метанол", u"0,0500"}}));
    EXPECT_EQ(out.calcPage.change, PageChange::Refill);
    EXPECT_EQ(out.calcPage.rows,
              (PageRows{{u"1", u"Метанол", u"0,050500 ± 0,010814", u"0,007214", u"0,003789"}}));
    EXPECT_THAT(out.messages, ElementsAre(u"Ошибок нет!", u"Предупреждений нет!"));
    EXPECT_TRUE(flags.calibrationReady && flags.absorptionReady && flags.conditionsReady);
    EXPECT_TRUE(state.gradPageRefilled && state.calcPageRefilled);
}

TEST_F(Recalculation, APeakLeftOutByTheReaderIsAWarning) {
    AssayCollection assays = Determination({100, 102});
    Assay absorption = assays[assays.Count() - 1];
    absorption.id = 99;
    absorption.skippedPeaks = {u"Хроматограмма 99: пик «Метанол» не учтён, значение столбца area "
                               u"не является числом."};
    assays.RemoveAssay(assays[assays.Count() - 1].id);
    assays.AddLoadedAssay(absorption);
    RecalculationOutcome out = Run(assays);
    EXPECT_THAT(out.messages,
                ElementsAre(u"Ошибок нет!", u"Предупреждения!",
                            u"     - Хроматограмма 99: пик «Метанол» не учтён, значение столбца "
                            u"area не является числом."));
}

TEST_F(Recalculation, EmptyListEmptiesBothPagesAndKeepsTheTables) {
    state.calibrationTable[kMethanol].k_avg = 0.05;
    state.contentTable[kMethanol].y_avg = 0.1;
    state.threeMeasurementsRequired = true;
    state.gradPageRefilled = state.calcPageRefilled = true;
    RecalculationOutcome out = Run(AssayCollection{});
    EXPECT_EQ(out.gradPage.change, PageChange::Empty);
    EXPECT_EQ(out.calcPage.change, PageChange::Empty);
    EXPECT_THAT(out.messages,
                ElementsAre(u"Ошибки!", u"     - Список хроматограмм пуст.", u"Предупреждения!",
                            u"     - Градуировка метанола не была проведена."));
    EXPECT_EQ(state.calibrationTable[kMethanol].k_avg, 0.05);
    EXPECT_EQ(state.contentTable[kMethanol].y_avg, 0.1);
    EXPECT_FALSE(state.threeMeasurementsRequired);
    EXPECT_FALSE(state.gradPageRefilled);
    EXPECT_FALSE(state.calcPageRefilled);
}

TEST_F(Recalculation, WhatBlocksTheContentStageDecidesTheCalcPage) {
    struct Case {
        const char* what;
        bool calibrationFails;
        std::initializer_list<double> areas;
        double vG;
        PageChange calc;
        const char16_t* gradValue;
    } cases[] = {
        {"calibration fails", true, {100, 102}, 10, PageChange::Keep, u"\u2014"},
        {"conditions refused", false, {100, 102}, 0, PageChange::Keep, u"0,0500"},
        {"one absorption solution", false, {100}, 10, PageChange::Empty, u"0,0500"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        state.settings.vG = c.vG;
        auto levels = UniformCalibration(0.05);
        if (c.calibrationFails)
            levels[0].areas[0] *= 1.2;
        AssayCollection assays;
        AddCalibration(assays, levels);
        AddAbsorption(assays, c.areas);
        RecalculationOutcome out = Run(assays);
        EXPECT_EQ(out.gradPage.change, PageChange::Refill);
        ASSERT_EQ(out.gradPage.rows.size(), 1u);
        EXPECT_EQ(out.gradPage.rows[0][2], c.gradValue);
        EXPECT_EQ(out.calcPage.change, c.calc);
        EXPECT_TRUE(state.gradPageRefilled);
        EXPECT_EQ(state.calcPageRefilled, c.calc == PageChange::Refill);
    }
}

TEST_F(Recalculation, WrongCalibrationCountWarnsAndEmptiesBothPages) {
    AssayCollection assays = Determination({100, 102});
    assays.RemoveAssay(100);
    RecalculationOutcome out = Run(assays);
    EXPECT_EQ(out.gradPage.change, PageChange::Empty);
    EXPECT_EQ(out.calcPage.change, PageChange::Empty);
    EXPECT_THAT(out.messages,
                ElementsAre(u"Ошибки!",
                            u"     - Добавлено меньше 10 хроматограмм градуировочных растворов. "
                            u"п. 13.3.3",
                            u"Предупреждения!", u"     - Градуировка метанола не была проведена."));
}

TEST_F(Recalculation, ThirdMeasurementFollowsFromTheData) {
    // Every step repeats itself: the same chromatograms give the same answer, whatever ran before.
    const char16_t* repeatability =
        u"     - Метанол: превышает предел повторяемости. Необходимо три измерения. п.13.7";
    const char16_t* tooMany =
        u"     - Добавлено больше 2 хроматограмм поглотительных растворов. п.13.7";
    const char16_t* tooFew =
        u"     - Добавлено меньше 2 хроматограмм поглотительных растворов. п.13.7";
    const PageRow dashes{u"1", u"Метанол", u"\u2014", u"\u2014", u"\u2014"};
    struct Step {
        const char* what;
        std::initializer_list<double> areas;
        bool flagAfter;
        PageChange calc;
        const char16_t* message; // the one error or warning line, if any
        bool obtained;
    } steps[] = {
        {"two disagreeing", {93, 108}, true, PageChange::Refill, repeatability, false},
        {"third added", {93, 108, 100}, true, PageChange::Refill, nullptr, true},
        {"two agreeing", {100, 102}, false, PageChange::Refill, nullptr, true},
        {"third to an agreeing pair", {100, 102, 101}, false, PageChange::Refill, tooMany, false},
        {"four", {93, 108, 100, 101}, false, PageChange::Empty, tooMany, false},
        {"one", {93}, false, PageChange::Empty, tooFew, false},
    };
    for (int round = 0; round < 2; ++round)
        for (const Step& s : steps) {
            SCOPED_TRACE(testing::Message() << s.what << ", round " << round);
            RecalculationOutcome out = Run(Determination(s.areas));
            EXPECT_EQ(state.threeMeasurementsRequired, s.flagAfter);
            EXPECT_EQ(out.calcPage.change, s.calc);
            std::vector<std::u16string> lines = log.Errors();
            lines.insert(lines.end(), log.Warnings().begin(), log.Warnings().end());
            if (s.message)
                EXPECT_THAT(lines, ElementsAre(s.message));
            else
                EXPECT_TRUE(lines.empty());
            if (s.calc == PageChange::Refill) {
                EXPECT_EQ(out.calcPage.rows.at(0) == dashes, !s.obtained);
            }
        }
}

TEST(ResultPages, UpdatesApplyToTheShownRows) {
    PageRows shown{{u"1", u"Метанол", u"0,0500"}};
    PageUpdate{PageChange::Keep, {}}.ApplyTo(shown);
    EXPECT_EQ(shown.size(), 1u);
    PageUpdate{PageChange::Refill, {{u"1", u"x", u"y"}}}.ApplyTo(shown);
    EXPECT_EQ(shown, (PageRows{{u"1", u"x", u"y"}}));
    PageUpdate{PageChange::Empty, {}}.ApplyTo(shown);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(GradPageColumns(), (PageRow{u"№", u"Компонент", u"К градуировочный"}));
    EXPECT_EQ(CalcPageColumns(), (PageRow{u"№", u"Компонент", u"Масс. концентр. ,мг/дм3",
                                          u"Масс. доля , %", u"Молярная доля , %"}));
}

} // namespace
} // namespace sepmet
