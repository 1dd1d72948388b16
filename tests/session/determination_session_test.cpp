#include "data/connection.h"
#include "session/assay_viewer.h"
#include "session/determination_session.h"
#include "session/profile_access.h"
#include "tests/support/fixture_database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>
#include <variant>

namespace sepmet {
namespace {

using test::FixtureAssay;
using test::FixtureDatabase;
using ::testing::ElementsAre;

class MemoryProfile final : public ProfileAccess {
public:
    using Value = std::variant<std::int32_t, double, std::u16string>;
    std::map<std::u16string, Value> values;

    template <typename T> T Get(std::u16string_view name, T defaultValue) {
        auto found = values.find(std::u16string(name));
        if (found == values.end() || !std::holds_alternative<T>(found->second))
            return defaultValue;
        return std::get<T>(found->second);
    }
    std::int32_t GetInt(std::u16string_view name, std::int32_t d) override { return Get(name, d); }
    double GetDouble(std::u16string_view name, double d) override { return Get(name, d); }
    std::u16string GetString(std::u16string_view name, std::u16string_view d) override {
        return Get(name, std::u16string(d));
    }
    void SetInt(std::u16string_view name, std::int32_t v) override {
        values[std::u16string(name)] = v;
    }
    void SetDouble(std::u16string_view name, double v) override {
        values[std::u16string(name)] = v;
    }
    void SetString(std::u16string_view name, std::u16string_view v) override {
        values[std::u16string(name)] = std::u16string(v);
    }
    void Delete(std::u16string_view name) override { values.erase(std::u16string(name)); }
};

struct Recorder final : SessionListener {
    std::vector<std::string> commands;
    std::vector<std::vector<std::u16string>> messages;
    void Recalculated(const DeterminationSession& session, const CommandResult& result) override {
        commands.emplace_back(AuditCommandName(result.command));
        messages.push_back(session.MessageLines());
    }
};

// Calibration chromatograms 1-10 with the coefficient 0.05, absorption solutions 11 (area 100),
// 12 (102) and 13 (140), each with a file name "C:\runs\<id>.chr".
class SessionTest : public ::testing::Test {
protected:
    SessionTest() {
        int id = 1;
        for (double c : {5.0, 25.0, 100.0, 150.0, 200.0})
            for (int i = 0; i < 2; ++i)
                Add(FixtureAssay(id++, u"р-р град", true, {{u"Метанол", c / 0.05, 2.4, c}}));
        Add(FixtureAssay(11, u"р-р поглот", false, {{u"Метанол", 100, 2.4}}));
        Add(FixtureAssay(12, u"р-р поглот", false, {{u"Метанол", 102, 2.4}}));
        Add(FixtureAssay(13, u"р-р поглот", false, {{u"Метанол", 140, 2.4}}));
        db.MakeCurrent();
        session.SetListener(&recorder);
        session.Open(MeasurementSettings{100, 10, 0.7, 101.325, 20});
    }
    ~SessionTest() override { DataBase::GetConnection().SetUri(nullptr); }

    void Add(FixtureAssay row) {
        const std::string id = std::to_string(row.id);
        row.filename = u"C:\\runs\\" + std::u16string(id.begin(), id.end()) + u".chr";
        db.Add(row);
    }
    std::vector<std::int32_t> Ids() const { return session.Assays().Ids(); }

    FixtureDatabase db;
    CalculationState state;
    Recorder recorder;
    DeterminationSession session{state};
};

std::vector<std::int32_t> Range(std::int32_t first, std::int32_t last) {
    std::vector<std::int32_t> ids;
    for (std::int32_t id = first; id <= last; ++id)
        ids.push_back(id);
    return ids;
}

TEST_F(SessionTest, AddReportsUnknownIdentifiersAndProducesRowsPagesAndEvents) {
    EXPECT_EQ(&ProcessMessageLog(), &session.Log());
    std::vector<std::int32_t> ids = Range(1, 12);
    ids.insert(ids.end(), {99, 3, 99});
    const CommandResult result = session.AddAssays(ids);
    EXPECT_TRUE(result.ran);
    EXPECT_TRUE(result.listChanged);
    EXPECT_THAT(result.notFound, ElementsAre(99)); // 3 is listed already; 99 named once
    EXPECT_EQ(result.recalculation.calcPage.change, PageChange::Refill);

    const std::vector<AssayListRow> rows = session.ListRows();
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[0].number, u"1");
    EXPECT_EQ(rows[0].fileName, u"1.chr");
    EXPECT_EQ(rows[0].type, u"Градуировка");
    EXPECT_EQ(rows[11].type, u"Анализ");
    EXPECT_EQ(rows[11].id, 12);
    EXPECT_EQ(session.GradRows(), (PageRows{{u"1", u"Метанол", u"0,0500"}}));
    EXPECT_EQ(session.CalcRows(),
              (PageRows{{u"1", u"Метанол", u"0,050500 ± 0,010814", u"0,007214", u"0,003789"}}));
    EXPECT_THAT(session.MessageLines(), ElementsAre(u"Ошибок нет!", u"Предупреждений нет!"));
    EXPECT_EQ(session.PeakRows(11), (PageRows{{u"1", u"Метанол", u"102,000", u"2,400"}}));
    EXPECT_TRUE(session.PeakRows(12).empty());
    EXPECT_THAT(recorder.commands, ElementsAre("open", "+"));

    // Nothing found: the list stays, the recalculation still runs.
    const CommandResult again = session.AddAssays({500});
    EXPECT_FALSE(again.listChanged);
    EXPECT_THAT(again.notFound, ElementsAre(500));
    EXPECT_TRUE(again.ran);
}

TEST_F(SessionTest, AddIsAllOrNothingWhenAReadFails) {
    session.AddAssays({1, 2});
    // Reading the peaks of chromatogram 5 fails, after 3 and 4 were read.
    db.Execute("ALTER TABLE peak RENAME TO peak_rows;"
               "CREATE VIEW peak AS SELECT id, assayid, nameid, CASE WHEN assayid = 5 THEN "
               "abs(-9223372036854775808) ELSE name END AS name, area, time, concentration, "
               "height, channel, front, back FROM peak_rows;");
    const CommandResult result = session.AddAssays({3, 4, 5, 6});
    EXPECT_FALSE(result.ran);
    ASSERT_TRUE(result.databaseError);
    EXPECT_FALSE(result.databaseError->empty());
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{1, 2}));
    EXPECT_THAT(recorder.commands, ElementsAre("open", "+")); // no recalculation, no event
    // 3 and 4 alone read well: they were read and taken out again.
    EXPECT_TRUE(session.AddAssays({3, 4}).ran);
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{1, 2, 3, 4}));
}

TEST_F(SessionTest, ReloadNamesTheChromatogramsDeletedFromTheDatabaseOnce) {
    session.AddAssays({1, 2, 11, 12, 13});
    db.Execute("DELETE FROM peak WHERE assayid IN (2, 12); DELETE FROM assay WHERE id IN (2, 12);");
    const CommandResult result = session.Reload();
    EXPECT_TRUE(result.ran);
    EXPECT_THAT(result.dropped,
                ElementsAre(DroppedAssay{2, 2, u"2.chr"}, DroppedAssay{4, 12, u"12.chr"}));
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{1, 11, 13}));
    const std::u16string line =
        u"     - Хроматограммы удалены из базы и убраны из списка: № 2 (2.chr), № 4 (12.chr)";
    EXPECT_THAT(session.MessageLines(), ::testing::Contains(line));
    EXPECT_THAT(session.Log().Warnings(), ::testing::Contains(line));
    // Once: the next recalculation no longer says it, and a reload that drops nothing is silent.
    EXPECT_TRUE(session.Reload().dropped.empty());
    EXPECT_THAT(session.MessageLines(), ::testing::Not(::testing::Contains(line)));

    // A reload on a database that cannot be read keeps the list.
    db.Execute("DROP TABLE peak;");
    const CommandResult failed = session.Reload();
    EXPECT_FALSE(failed.ran);
    EXPECT_TRUE(failed.databaseError);
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{1, 11, 13}));
}

TEST_F(SessionTest, RemovePositionsAndRemoveAll) {
    session.AddAssays(Range(1, 13));
    const CommandResult removed = session.RemovePositions({0, 12, 5, 40});
    EXPECT_TRUE(removed.listChanged);
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{2, 3, 4, 5, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(session.ListRows()[0].number, u"1");
    EXPECT_EQ(session.RemoveAllQuestion(), u"Удалить все хроматограммы (10)?");
    session.RemoveAll();
    EXPECT_TRUE(session.Assays().Empty());
    EXPECT_EQ(session.RemoveAllQuestion(), std::nullopt); // nothing to lose: no question
    EXPECT_THAT(recorder.commands, ElementsAre("open", "+", "-", "--"));
}

TEST_F(SessionTest, RefusedConditionsChangeNothing) {
    session.AddAssays(Range(1, 12));
    const auto events = recorder.commands.size();
    const CommandResult refused = session.ApplyConditions({u"nan", u"10", u"", u"101,325", u"20"});
    EXPECT_FALSE(refused.ran);
    using R = RefusedCondition::Reason;
    EXPECT_THAT(refused.refused, ElementsAre(RefusedCondition{ConditionField::vW, R::NotNumber},
                                             RefusedCondition{ConditionField::rhoG, R::Empty}));
    EXPECT_EQ(state.settings.vW, 100);
    EXPECT_EQ(recorder.commands.size(), events);

    const CommandResult applied =
        session.ApplyConditions({u" 200 ", u"10", u"0,7", u"101,325", u"20"});
    EXPECT_TRUE(applied.ran);
    EXPECT_EQ(state.settings.vW, 200);
    EXPECT_EQ(recorder.commands.back(), "S");
}

// The host's viewer, keeping what it was asked to open.
struct RecordingViewer final : AssayViewer {
    bool available = true;
    std::vector<std::u16string> opened;
    bool Available() const override { return available; }
    void Open(const std::u16string& fileName) override { opened.push_back(fileName); }
};

TEST_F(SessionTest, ViewOpensTheChromatogramsAtThePositionsByTheirStoredNames) {
    session.AddAssays({1, 2, 3});
    const auto events = recorder.commands.size();
    // The name is read afresh: the host may have moved the file since "+".
    db.Execute("UPDATE assay SET filename = 'D:\\moved\\2.chr' WHERE id = 2;");
    RecordingViewer viewer;
    const CommandResult result = session.OpenInViewer({2, 0, 7, 1}, viewer);
    EXPECT_THAT(viewer.opened,
                ElementsAre(u"C:\\runs\\3.chr", u"C:\\runs\\1.chr", u"D:\\moved\\2.chr"));
    EXPECT_EQ(result.command, SessionCommand::View);
    EXPECT_FALSE(result.ran);
    EXPECT_FALSE(result.listChanged);
    EXPECT_FALSE(result.databaseError);
    EXPECT_EQ(recorder.commands.size(), events); // no recalculation, no event
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{1, 2, 3}));

    // Nothing selected, or a host without a viewer: the database is not even read.
    db.Execute("DROP TABLE assay;");
    viewer.opened.clear();
    EXPECT_FALSE(session.OpenInViewer({}, viewer).databaseError);
    viewer.available = false;
    EXPECT_FALSE(session.OpenInViewer({0}, viewer).databaseError);
    EXPECT_TRUE(viewer.opened.empty());
}

TEST_F(SessionTest, ViewOpensWhatWasReadBeforeAFailedReadAndReportsIt) {
    session.AddAssays({1, 2, 3});
    db.Execute("ALTER TABLE assay RENAME TO assay_rows;"
               "CREATE VIEW assay AS SELECT id, date, CASE WHEN id = 3 THEN "
               "abs(-9223372036854775808) ELSE filename END AS filename, sample, mixture, method, "
               "iscalibration FROM assay_rows;");
    RecordingViewer viewer;
    const CommandResult result = session.OpenInViewer({1, 2, 0}, viewer);
    EXPECT_THAT(viewer.opened, ElementsAre(u"C:\\runs\\2.chr"));
    ASSERT_TRUE(result.databaseError);
    EXPECT_FALSE(result.databaseError->empty());
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{1, 2, 3}));
}

TEST_F(SessionTest, OpenRestoresAndSaveStateWritesTheWindowsMemory) {
    MemoryProfile profile;
    profile.SetString(u"Assay 1", u"12/1");
    profile.SetString(u"Assay 3", u"3/0"); // past a gap
    profile.SetDouble(u"vW", 250);

    DeterminationSession reopened(state);
    const CommandResult opened = reopened.Open(profile, DatabaseAssayLoader());
    EXPECT_TRUE(opened.ran);
    EXPECT_TRUE(opened.listChanged);
    EXPECT_FALSE(opened.databaseError);
    EXPECT_EQ(reopened.Assays().Ids(), (std::vector<std::int32_t>{12, 3}));
    EXPECT_EQ(reopened.ListRows()[0].isChecked, 1);
    EXPECT_EQ(reopened.ListRows()[1].type, u"Градуировка");
    EXPECT_EQ(state.settings.vW, 250);
    EXPECT_EQ(state.settings.atmP, 101.325);

    reopened.SetMarks({0, 1});
    reopened.SaveState(profile, {-5, 20, 900, 620});
    EXPECT_EQ(profile.GetString(u"Assay 1", u""), u"12/0");
    EXPECT_EQ(profile.GetString(u"Assay 2", u""), u"3/1");
    EXPECT_EQ(profile.GetString(u"Assay 3", u"none"), u"none");
    EXPECT_EQ(ReadWindowRect(profile), (StoredWindowRect{-5, 20, 900, 620}));
    EXPECT_EQ(profile.GetDouble(u"gasT", 0), 20);
}

} // namespace
} // namespace sepmet
