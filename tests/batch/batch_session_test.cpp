#include "batch/batch_session.h"
#include "data/connection.h"
#include "tests/support/fixture_database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace sepmet::batch {
namespace {

using test::FixtureAssay;
using test::FixtureDatabase;
using ::testing::ElementsAre;

Command Make(Command::Kind kind, const char* ids = nullptr) {
    Command command{kind, "", ids ? ids : "", {}};
    std::string error;
    if (ids)
        command.ids = *IdList::Parse(ids, error);
    return command;
}

// Calibration chromatograms 1-10 with the coefficient 0.05, absorption solutions 11 (area 100),
// 12 (102) and 13 (140).
class BatchSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        int id = 1;
        for (double c : {5.0, 25.0, 100.0, 150.0, 200.0})
            for (int i = 0; i < 2; ++i)
                db.Add(FixtureAssay(id++, u"р-р град", true, {{u"Метанол", c / 0.05, 2.4, c}}));
        db.Add(FixtureAssay(11, u"р-р поглот", false, {{u"Метанол", 100, 2.4}}));
        db.Add(FixtureAssay(12, u"р-р поглот", false, {{u"Метанол", 102, 2.4}}));
        db.Add(FixtureAssay(13, u"р-р поглот", false, {{u"Метанол", 140, 2.4}}));
        db.MakeCurrent();
        settings.vW = 100;
        settings.vG = 10;
        settings.rhoG = 0.7;
    }
    void TearDown() override { DataBase::GetConnection().SetUri(nullptr); }

    FixtureDatabase db;
    CalculationState state;
    MeasurementSettings settings;
};

TEST_F(BatchSessionTest, StartsAsTheOpenedWindowAndAddsChromatograms) {
    BatchSession session(state, settings);
    EXPECT_TRUE(session.GradRows().empty());
    EXPECT_THAT(session.MessageLines(),
                ElementsAre(u"Ошибки!", u"     - Список хроматограмм пуст.", u"Предупреждения!",
                            u"     - Градуировка метанола не была проведена."));
    EXPECT_EQ(&ProcessMessageLog(), &session.Log());

    session.Run(Make(Command::Kind::Add, "1-12,99,3,99"));
    EXPECT_EQ(session.Assays().Count(), 12u);
    ASSERT_EQ(session.Unloaded().size(), 1u); // 3 is there already; 99 is named once
    EXPECT_EQ(session.Unloaded()[0].id, 99);
    EXPECT_EQ(session.Assays()[0].type, u"Градуировка");
    EXPECT_EQ(session.Assays()[11].type, u"Анализ");
    EXPECT_EQ(session.GradRows(), (PageRows{{u"1", u"Метанол", u"0,0500"}}));
    EXPECT_EQ(session.CalcRows(),
              (PageRows{{u"1", u"Метанол", u"0,050500 ± 0,010814", u"0,007214", u"0,003789"}}));
    EXPECT_THAT(session.MessageLines(), ElementsAre(u"Ошибок нет!", u"Предупреждений нет!"));

    session.Run(Make(Command::Kind::Add, "5"));
    EXPECT_TRUE(session.Unloaded().empty());
}

TEST_F(BatchSessionTest, RemoveReloadAndApplyActAsTheWindowsCommands) {
    BatchSession session(state, settings);
    session.Run(Make(Command::Kind::Add, "1-11,13"));
    EXPECT_TRUE(state.threeMeasurementsRequired); // 100 and 140 disagree
    ASSERT_EQ(session.CalcRows().size(), 1u);

    const PageRows disagreeing = session.CalcRows();

    // The same two give the same answer on every recalculation.
    session.Run(Make(Command::Kind::Reload));
    EXPECT_EQ(session.CalcRows(), disagreeing);
    EXPECT_TRUE(state.threeMeasurementsRequired);
    session.Run(Make(Command::Kind::Apply));
    EXPECT_EQ(session.CalcRows(), disagreeing);
    EXPECT_TRUE(state.threeMeasurementsRequired);

    // Calibration chromatogram 1 vanishes from the host: a reload drops it.
    db.Execute("DELETE FROM peak WHERE assayid = 1; DELETE FROM assay WHERE id = 1;");
    session.Run(Make(Command::Kind::Reload));
    EXPECT_EQ(session.Assays().Count(), 11u);
    EXPECT_TRUE(session.GradRows().empty());

    session.Run(Make(Command::Kind::Remove, "10-13,500"));
    EXPECT_EQ(session.Assays().Ids(), (std::vector<std::int32_t>{2, 3, 4, 5, 6, 7, 8, 9}));
    session.Run(Make(Command::Kind::Clear));
    EXPECT_TRUE(session.Assays().Empty());
}

} // namespace
} // namespace sepmet::batch
