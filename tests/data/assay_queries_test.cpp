#include "data/assay_collection.h"
#include "data/assay_queries.h"
#include "data/connection.h"
#include "tests/support/fixture_database.h"

#include <cstring>
#include <gtest/gtest.h>

namespace sepmet {
namespace {

using test::FixtureAssay;
using test::FixtureDatabase;
using test::FixturePeak;

class AssayQueries : public ::testing::Test {
protected:
    void SetUp() override { db.MakeCurrent(); }
    void TearDown() override { DataBase::GetConnection().SetUri(nullptr); }

    FixtureDatabase db;
};

TEST_F(AssayQueries, LoadsTheRowAndItsPeaksInChannelAndTimeOrder) {
    FixtureAssay row(7, u"5 мг град", true,
                     {{u"B", 1, 5.0, 0, 2}, {u"A", 2, 1.0, 0, 2}, {u"Метанол", 3, 3.0, 5, 1}});
    row.date = 1710230400;
    row.filename = u"D:\\chrom\\7.chr";
    row.mixture = u"Смесь 1";
    row.method = u"ПИД";
    db.Add(row);
    AssayCollection assays;
    DataBase::DataBaseHandle handle;
    handle.Open();

    ASSERT_EQ(LoadAssay(assays, handle, 7).index, 0);
    const Assay& a = assays[0];
    EXPECT_EQ(a.id, 7);
    EXPECT_EQ(a.date, 1710230400);
    EXPECT_EQ(a.filename, u"D:\\chrom\\7.chr");
    EXPECT_EQ(a.sample, u"5 мг град");
    EXPECT_EQ(a.mixture, u"Смесь 1");
    EXPECT_EQ(a.method, u"ПИД");
    EXPECT_TRUE(a.iscalibration);
    EXPECT_EQ(a.isChecked, 0);
    EXPECT_TRUE(a.type.empty());
    ASSERT_EQ(a.peaks.size(), 3u);
    // Channel 1 at 3.0, then channel 2 at 1.0, then channel 2 at 5.0.
    EXPECT_EQ(a.peaks[0].name, u"Метанол");
    EXPECT_EQ(a.peaks[0].channel, 1);
    EXPECT_EQ(a.peaks[0].nameid, u"3"); // an integer column arrives as its digits
    EXPECT_EQ(a.peaks[1].name, u"A");
    EXPECT_EQ(a.peaks[2].name, u"B");
    EXPECT_DOUBLE_EQ(a.peaks[0].area, 3);
    EXPECT_DOUBLE_EQ(a.peaks[0].concentration, 5);
}

TEST_F(AssayQueries, NullColumnsGiveEmptyValuesAndAnyNonZeroFlagIsTrue) {
    db.Execute("INSERT INTO assay(id, iscalibration) VALUES(1, 2), (2, NULL);"
               "INSERT INTO peak(assayid) VALUES(1);");
    AssayCollection assays;
    DataBase::DataBaseHandle handle;
    handle.Open();
    ASSERT_EQ(LoadAssay(assays, handle, 1).index, 0);
    ASSERT_EQ(LoadAssay(assays, handle, 2).index, 1);

    EXPECT_TRUE(assays[0].iscalibration);
    EXPECT_FALSE(assays[1].iscalibration);
    EXPECT_EQ(assays[0].date, 0);
    EXPECT_TRUE(assays[0].sample.empty());
    ASSERT_EQ(assays[0].peaks.size(), 1u);
    const Peak& p = assays[0].peaks[0];
    EXPECT_TRUE(p.name.empty());
    EXPECT_TRUE(p.nameid.empty());
    EXPECT_EQ(p.area, 0);
    EXPECT_EQ(p.channel, 0);
    EXPECT_TRUE(assays[1].peaks.empty());
}

TEST_F(AssayQueries, DuplicateAndMissingIdentifiers) {
    db.Add({1, u"a"}).Add({2, u"b"});
    AssayCollection assays;
    DataBase::DataBaseHandle handle;
    handle.Open();
    EXPECT_EQ(LoadAssay(assays, handle, 2).index, 0);
    EXPECT_EQ(LoadAssay(assays, handle, 1).index, 1);
    EXPECT_EQ(LoadAssay(assays, handle, 2).index, 0);
    EXPECT_EQ(LoadAssay(assays, handle, 99).index, -1);
    EXPECT_EQ(assays.Count(), 2u);
}

// Identifiers are signed 32-bit values for the row and its peaks alike: a negative one comes
// with its peaks, and a row numbered outside that range is never taken for the identifier its
// low 32 bits make (which used to come with no peaks).
TEST_F(AssayQueries, IdentifiersAreSigned32BitForTheRowAndItsPeaks) {
    db.Add({-5, u"минус", false, {{u"Метанол", 2.5}}});
    db.Execute("INSERT INTO assay(id, sample) VALUES(3000000000, 'за пределом');"
               "INSERT INTO peak(assayid, name, area) VALUES(3000000000, 'Метанол', 7);");
    AssayCollection assays;
    DataBase::DataBaseHandle handle;
    handle.Open();
    ASSERT_TRUE(LoadAssay(assays, handle, -5).Loaded());
    EXPECT_EQ(assays[0].id, -5);
    ASSERT_EQ(assays[0].peaks.size(), 1u);
    EXPECT_DOUBLE_EQ(assays[0].peaks[0].area, 2.5);
    const std::int32_t lowBits = static_cast<std::int32_t>(3000000000u);
    EXPECT_EQ(LoadAssay(assays, handle, lowBits).status, AssayLoad::Status::NotFound);
    EXPECT_EQ(assays.Count(), 1u);
}

// A peak value stored as text is taken only when the text is exactly a number; otherwise (and
// for a blob) the peak is left out whole, never converted in part, and a warning line names the
// chromatogram, the peak and the column.
TEST_F(AssayQueries, APeakValueThatIsNotExactlyANumberLeavesThePeakOutWithAWarning) {
    const struct {
        const char* column;
        const char* value; // SQL literal
        bool taken;
    } cases[] = {
        {"area", "'243.6'", true},
        {"area", "'-1.5e2'", true},
        {"area", "'+7'", true},
        {"area", "243.6", true},
        {"area", "NULL", true},
        {"channel", "'3'", true},
        {"area", "'243,6'", false},
        {"area", "'12abc'", false},
        {"area", "''", false},
        {"area", "'inf'", false},
        {"area", "'0x10'", false},
        {"area", "x'3234'", false},
        {"time", "'1..2'", false},
        {"height", "'1e'", false},
        {"front", "'nan'", false},
        {"back", "'--1'", false},
        {"concentration", "'½'", false},
        {"channel", "'2.5'", false},
        {"channel", "'3000000000'", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " = " + c.value);
        db.Execute("DELETE FROM assay; DELETE FROM peak;"
                   "INSERT INTO assay(id, sample) VALUES(12, 'поглот');"
                   "INSERT INTO peak(assayid, name, area, channel) VALUES(12, 'Вода', 1, 1);"
                   "INSERT INTO peak(assayid, name, area, channel) VALUES(12, 'Метанол', 1, 1);" +
                   std::string("UPDATE peak SET ") + c.column + " = " + c.value +
                   " WHERE name = 'Метанол';");
        AssayCollection assays;
        DataBase::DataBaseHandle handle;
        handle.Open();
        ASSERT_TRUE(LoadAssay(assays, handle, 12).Loaded());
        const Assay& assay = assays[0];
        ASSERT_EQ(assay.peaks.size(), c.taken ? 2u : 1u);
        if (c.taken) {
            EXPECT_TRUE(assay.skippedPeaks.empty());
            continue;
        }
        EXPECT_EQ(assay.peaks[0].name, u"Вода");
        ASSERT_EQ(assay.skippedPeaks.size(), 1u);
        const std::u16string column(c.column, c.column + std::strlen(c.column));
        EXPECT_EQ(assay.skippedPeaks[0], u"Хроматограмма 12: пик «Метанол» не учтён, значение "
                                         u"столбца " +
                                             column + u" не является числом.");
    }
    db.Execute("UPDATE peak SET area = '243.6', channel = '3' WHERE name = 'Метанол';");
    AssayCollection assays;
    DataBase::DataBaseHandle handle;
    handle.Open();
    ASSERT_TRUE(LoadAssay(assays, handle, 12).Loaded());
    EXPECT_DOUBLE_EQ(assays[0].peaks[1].area, 243.6);
    EXPECT_EQ(assays[0].peaks[1].channel, 3);
}

TEST_F(AssayQueries, FailedReadIsToldApartFromMissingAssayAndAddsNothing) {
    db.Add({1, u"a", false, {{u"Метанол", 1, 1}}});
    AssayCollection assays;
    DataBase::DataBaseHandle handle;
    handle.Open();
    const AssayLoad missing = LoadAssay(assays, handle, 5);
    EXPECT_EQ(missing.status, AssayLoad::Status::NotFound);
    EXPECT_FALSE(missing.failure);

    db.Execute("DROP TABLE peak;");
    const AssayLoad failed = LoadAssay(assays, handle, 1);
    EXPECT_EQ(failed.status, AssayLoad::Status::Failed);
    EXPECT_EQ(failed.index, -1);
    ASSERT_TRUE(failed.failure);
    EXPECT_STREQ(failed.failure->what(), "no such table: peak");
    EXPECT_TRUE(assays.Empty());
}

TEST_F(AssayQueries, ReloadThatCannotReadKeepsTheCollection) {
    db.Add({3, u"old"}).Add({1});
    AssayCollection assays;
    DataBase::DataBaseHandle handle;
    handle.Open();
    LoadAssay(assays, handle, 3);
    LoadAssay(assays, handle, 1);
    assays[1].isChecked = 1;
    db.Execute("UPDATE assay SET sample = 'new' WHERE id = 3; DROP TABLE peak;");

    EXPECT_THROW(ReloadAssays(assays, handle), DataBase::SqlException);
    EXPECT_EQ(assays.Ids(), (std::vector<std::int32_t>{3, 1}));
    EXPECT_EQ(assays[0].sample, u"old");
    EXPECT_EQ(assays[1].isChecked, 1);
}

TEST_F(AssayQueries, FileNameActionRunsForEveryRowIncludingNull) {
    FixtureAssay row(1);
    row.filename = u"C:\\a\\b.chr";
    db.Add(row);
    db.Execute("INSERT INTO assay(id) VALUES(2);");
    DataBase::DataBaseHandle handle;
    handle.Open();
    std::vector<std::u16string> names;
    auto collect = [&](const std::u16string& name) { names.push_back(name); };
    QueryAssayFileName(handle, 1, collect);
    QueryAssayFileName(handle, 2, collect);
    QueryAssayFileName(handle, 3, collect);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"C:\\a\\b.chr", u""}));
}

TEST_F(AssayQueries, ReloadKeepsOrderDropsVanishedAssaysAndClearsMarks) {
    db.Add({3, u"old"}).Add({1}).Add({2});
    AssayCollection assays;
    DataBase::DataBaseHandle handle;
    handle.Open();
    for (int id : {3, 1, 2})
        LoadAssay(assays, handle, id);
    assays[0].isChecked = 1;
    assays[2].isChecked = 1;
    db.Execute("DELETE FROM assay WHERE id = 1; UPDATE assay SET sample = 'new' WHERE id = 3;");

    ReloadAssays(assays, handle);
    EXPECT_EQ(assays.Ids(), (std::vector<std::int32_t>{3, 2}));
    EXPECT_EQ(assays[0].sample, u"new");
    EXPECT_EQ(assays[0].isChecked, 0);
    EXPECT_EQ(assays[1].isChecked, 0);
}

TEST(PeakOrder, EqualTimesOnOneChannelStayTogether) {
    std::vector<Peak> peaks(6);
    const double times[] = {2, 1, 2, 1, 3, 2};
    const int channels[] = {1, 1, 0, 1, 1, 0};
    for (std::size_t i = 0; i < peaks.size(); ++i) {
        peaks[i].time = times[i];
        peaks[i].channel = channels[i];
    }
    SortPeaks(peaks);
    std::vector<std::pair<int, double>> order;
    for (const Peak& p : peaks)
        order.emplace_back(p.channel, p.time);
    EXPECT_EQ(order, (std::vector<std::pair<int, double>>{
                         {0, 2}, {0, 2}, {1, 1}, {1, 1}, {1, 2}, {1, 3}}));
}

} // namespace
} // namespace sepmet
