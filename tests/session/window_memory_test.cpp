#include "data/assay_collection.h"
#include "data/connection.h"
#include "plugin/module_state.h"
#include "plugin/profile.h"
#include "session/window_memory.h"
#include "tests/support/fake_host.h"
#include "tests/support/fixture_database.h"

#include <gmock/gmock.h>
#include <sqlite3.h>

namespace sepmet::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::u16string Key(std::u16string_view name) {
    return u"plugins\\sepmet\\/" + std::u16string(name);
}

// The plug-in as start-up leaves it: the host's table and the profile base key.
class WindowStateTest : public ::testing::Test {
protected:
    WindowStateTest() {
        ResetModuleState();
        host.OfferAll();
        Module().hostApi = host.api();
        Module().profileBase = u"plugins\\sepmet";
        ForgetUnrestoredAssays();
        database.MakeCurrent();
    }
    ~WindowStateTest() override {
        ForgetUnrestoredAssays();
        ResetModuleState();
        DataBase::DeleteConnection();
    }

    void Store(int number, std::u16string text) {
        host.profile()[Key(AssayEntryName(number))] = std::move(text);
    }
    std::u16string Entry(int number) {
        return std::get<std::u16string>(host.profile().at(Key(AssayEntryName(number))));
    }
    // The "Assay n" numbers the profile holds.
    std::vector<int> StoredNumbers() {
        std::vector<int> numbers;
        for (const auto& [key, value] : host.profile())
            if (key.starts_with(Key(u"Assay ")))
                numbers.push_back(ParseStoredInteger(key.substr(Key(u"Assay ").size())));
        std::sort(numbers.begin(), numbers.end());
        return numbers;
    }
    std::vector<StoredAssay> Listed() {
        std::vector<StoredAssay> list;
        for (const Assay& a : assays)
            list.push_back({a.id, a.isChecked});
        return list;
    }
    AssayListRestore Restore() { return RestoreAssayList(profile, assays, DatabaseAssayLoader()); }
    void FillDatabase(int count) {
        for (int id = 1; id <= count; ++id)
            database.Add({id * 10, u"проба"});
    }
    void Collect(int count) {
        assays.Clear();
        for (int id = 1; id <= count; ++id)
            assays.AddLoadedAssay(Assay{.id = id * 10, .isChecked = id % 2});
    }

    FakeHost host;
    HostProfile profile;
    test::FixtureDatabase database;
    AssayCollection assays;
};

TEST(AssayEntryText, IdentifiersSurviveTheRoundTrip) {
    EXPECT_EQ(FormatAssayEntry({17, 1}), u"17/1");
    EXPECT_EQ(FormatAssayEntry({-1, 0}), u"18446744073709551615/0"); // "%llu" of the widened id
    for (std::int32_t id : {0, 1, 17, 2147483647, -1, -17, -2147483647 - 1}) {
        const auto parsed = ParseAssayEntry(FormatAssayEntry({id, 1}));
        ASSERT_TRUE(parsed) << id;
        EXPECT_EQ(*parsed, (StoredAssay{id, 1})) << id;
    }
}

TEST(AssayEntryText, DecimalConversionAsBeforeForPositiveIdentifiers) {
    const std::pair<std::u16string_view, std::int32_t> cases[] = {
        {u"42", 42}, {u"  42", 42},       {u"\t+42abc", 42},           {u"-42", -42}, {u"", 0},
        {u"abc", 0}, {u"4294967295", -1}, {u"2147483647", 2147483647}, {u"007", 7},   {u"4 2", 4},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseStoredInteger(text), value) << std::string(text.begin(), text.end());
    EXPECT_FALSE(ParseAssayEntry(u"12"));
    EXPECT_FALSE(ParseAssayEntry(u"/1"));
    EXPECT_EQ(ParseAssayEntry(u"12/"), (StoredAssay{12, 0}));
    EXPECT_EQ(ParseAssayEntry(u"12/1/0"), (StoredAssay{12, 1}));
}

TEST_F(WindowStateTest, EmptyProfileGivesTheDefaults) {
    const AssayListRestore restore = Restore();
    EXPECT_EQ(restore.restored, 0);
    EXPECT_TRUE(assays.Empty());
    EXPECT_EQ(ReadWindowRect(profile), (StoredWindowRect{0, 0, 0, 0}));
    const MeasurementSettings settings = ReadMeasurementSettings(profile);
    EXPECT_EQ(settings.vW, 0);
    EXPECT_EQ(settings.vG, 0);
    EXPECT_EQ(settings.rhoG, 0);
    EXPECT_EQ(settings.atmP, 101.325);
    EXPECT_EQ(settings.gasT, 20);
}

TEST_F(WindowStateTest, RectangleAndConditionsUnderTheirNames) {
    SaveWindowRect(profile, {-5, 20, 900, 620});
    SaveMeasurementSettings(profile, {250.5, 12.25, 0.68, 99.8, -3.5});
    EXPECT_EQ(std::get<std::int32_t>(host.profile().at(Key(u"WindowRect_tlx"))), -5);
    EXPECT_EQ(std::get<std::int32_t>(host.profile().at(Key(u"WindowRect_tly"))), 20);
    EXPECT_EQ(std::get<std::int32_t>(host.profile().at(Key(u"WindowRect_btx"))), 900);
    EXPECT_EQ(std::get<std::int32_t>(host.profile().at(Key(u"WindowRect_bty"))), 620);
    EXPECT_EQ(std::get<double>(host.profile().at(Key(u"rhoG"))), 0.68);
    EXPECT_EQ(ReadWindowRect(profile), (StoredWindowRect{-5, 20, 900, 620}));
    const MeasurementSettings settings = ReadMeasurementSettings(profile);
    EXPECT_EQ(settings.vW, 250.5);
    EXPECT_EQ(settings.vG, 12.25);
    EXPECT_EQ(settings.atmP, 99.8);
    EXPECT_EQ(settings.gasT, -3.5);
}

TEST_F(WindowStateTest, RestorePassesOverGapsAndDeletesNothing) {
    // A list whose entry 2 was deleted by an earlier restore and never rewritten (the host died
    // before the window closed): the entries after the gap come back too.
    FillDatabase(3);
    Store(1, u"10/1");
    Store(3, u"30/0");
    Store(1024, u"20/1");
    EXPECT_EQ(Restore().restored, 3);
    EXPECT_THAT(Listed(), ElementsAre(StoredAssay{10, 1}, StoredAssay{30, 0}, StoredAssay{20, 1}));
    EXPECT_THAT(StoredNumbers(), ElementsAre(1, 3, 1024));
    // The next save closes the gaps.
    SaveAssayList(profile, assays);
    EXPECT_THAT(StoredNumbers(), ElementsAre(1, 2, 3));
}

TEST_F(WindowStateTest, AStaleEntrySurvivesACrashBeforeTheNextSave) {
    // 13 entries, the fifth naming a chromatogram the database no longer holds. The window
    // opens and the host is killed before it closes: nothing was written. The next opening
    // still restores all twelve others.
    FillDatabase(13);
    for (int number = 1; number <= 13; ++number)
        Store(number, FormatAssayEntry({number == 5 ? 999 : number * 10, 0}));
    const AssayListRestore first = Restore();
    EXPECT_EQ(first.restored, 12);
    EXPECT_EQ(first.notFound, 1);
    EXPECT_EQ(StoredNumbers().size(), 13u); // nothing deleted at restore
    EXPECT_EQ(Restore().restored, 12);      // the opening after the crash
    SaveAssayList(profile, assays);
    EXPECT_EQ(StoredNumbers().size(), 12u);
    EXPECT_EQ(Restore().restored, 12);
}

TEST_F(WindowStateTest, RestoreSkipsMalformedEntriesAndDeletesAssaysNoLongerThere) {
    FillDatabase(3);
    Store(1, u"30/1");
    Store(2, u"999/1"); // not in the database: left out, not deleted
    Store(3, u"");      // skipped, the rest still read
    Store(4, u"garbage");
    Store(5, u"/1");
    Store(6, u"10/0");
    const AssayListRestore restore = Restore();
    EXPECT_EQ(restore.restored, 2);
    EXPECT_FALSE(restore.databaseFailed);
    EXPECT_THAT(Listed(), ElementsAre(StoredAssay{30, 1}, StoredAssay{10, 0}));
    EXPECT_EQ(restore.notFound, 1);
    EXPECT_THAT(StoredNumbers(), ElementsAre(1, 2, 3, 4, 5, 6));
}

TEST_F(WindowStateTest, NegativeIdentifierComesBack) {
    // The host binds identifiers unsigned, so its row of assay -1 has the id 4294967295.
    database.Execute("INSERT INTO assay(id, sample) VALUES(4294967295, 'проба')");
    assays.AddLoadedAssay(Assay{.id = -1, .isChecked = 1});
    SaveAssayList(profile, assays);
    EXPECT_EQ(Entry(1), u"18446744073709551615/1");
    EXPECT_EQ(Restore().restored, 1);
    EXPECT_THAT(Listed(), ElementsAre(StoredAssay{-1, 1}));
}

class ListLengthTest : public WindowStateTest, public ::testing::WithParamInterface<int> {};

TEST_P(ListLengthTest, EveryChromatogramIsWrittenAndRestoredInOrder) {
    const int count = GetParam();
    FillDatabase(count);
    Collect(count);
    const std::vector<StoredAssay> saved = Listed();
    SaveAssayList(profile, assays);
    EXPECT_EQ(StoredNumbers().size(), static_cast<std::size_t>(count));
    EXPECT_EQ(Entry(count), FormatAssayEntry(saved.back()));

    EXPECT_EQ(Restore().restored, count);
    EXPECT_THAT(Listed(), ElementsAreArray(saved));
}

INSTANTIATE_TEST_SUITE_P(Lengths, ListLengthTest, ::testing::Values(1, 99, 100, 150));

TEST_F(WindowStateTest, AtMost1024EntriesAreWritten) {
    Collect(1030);
    SaveAssayList(profile, assays);
    const std::vector<int> numbers = StoredNumbers();
    ASSERT_EQ(numbers.size(), 1024u);
    EXPECT_EQ(numbers.back(), 1024);
    EXPECT_EQ(Entry(1024), FormatAssayEntry({10240, 0}));
}

TEST_F(WindowStateTest, ShorterListDeletesStaleEntriesAlsoBehindGaps) {
    Collect(150);
    SaveAssayList(profile, assays);
    host.profile().erase(Key(AssayEntryName(120))); // a restore found that one gone
    Collect(3);
    SaveAssayList(profile, assays);
    EXPECT_THAT(StoredNumbers(), ElementsAre(1, 2, 3));

    Store(700, u"70/1"); // written by no save, past a long gap
    Collect(0);
    SaveAssayList(profile, assays);
    EXPECT_TRUE(StoredNumbers().empty());
}

class LockedDatabase {
public:
    explicit LockedDatabase(const std::string& path) {
        sqlite3_open(path.c_str(), &db_);
        sqlite3_exec(db_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    }
    ~LockedDatabase() {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
    }

private:
    sqlite3* db_ = nullptr;
};

TEST_F(WindowStateTest, LockedDatabaseKeepsEveryEntryUntilARestoreSucceeds) {
    FillDatabase(4);
    DataBase::GetConnection().SetBusyTimeout(20);
    Store(1, u"20/1");
    Store(2, u"999/0");
    Store(3, u"10/0");
    {
        LockedDatabase lock(database.Path());
        const AssayListRestore restore = Restore();
        EXPECT_EQ(restore.restored, 0);
        EXPECT_TRUE(restore.databaseFailed);
        EXPECT_NE(restore.databaseError.find(u"locked"), std::u16string::npos);
        EXPECT_TRUE(assays.Empty());
        EXPECT_THAT(StoredNumbers(), ElementsAre(1, 2, 3)); // nothing deleted
        EXPECT_THAT(UnrestoredAssays(),
                    ElementsAre(StoredAssay{20, 1}, StoredAssay{999, 0}, StoredAssay{10, 0}));

        // The operator adds one chromatogram meanwhile and closes: it comes first, the kept
        // ones follow in order, and one added again is not written twice.
        assays.AddLoadedAssay(Assay{.id = 40, .isChecked = 1});
        assays.AddLoadedAssay(Assay{.id = 10, .isChecked = 1});
        SaveAssayList(profile, assays);
        EXPECT_EQ(Entry(1), u"40/1");
        EXPECT_EQ(Entry(2), u"10/1");
        EXPECT_EQ(Entry(3), u"20/1");
        EXPECT_EQ(Entry(4), u"999/0");
        EXPECT_THAT(StoredNumbers(), ElementsAre(1, 2, 3, 4));

        // A second opening while still locked keeps them again.
        EXPECT_TRUE(Restore().databaseFailed);
        assays.Clear();
        SaveAssayList(profile, assays);
        EXPECT_THAT(StoredNumbers(), ElementsAre(1, 2, 3, 4));
    }
    const AssayListRestore restore = Restore();
    EXPECT_FALSE(restore.databaseFailed);
    EXPECT_THAT(Listed(), ElementsAre(StoredAssay{40, 1}, StoredAssay{10, 1}, StoredAssay{20, 1}));
    EXPECT_TRUE(UnrestoredAssays().empty());
    EXPECT_THAT(StoredNumbers(), ElementsAre(1, 2, 3, 4)); // 999 is left out, still stored
    SaveAssayList(profile, assays);
    EXPECT_THAT(StoredNumbers(), ElementsAre(1, 2, 3)); // and gone with the next save
}

TEST_F(WindowStateTest, MissingDatabaseFileKeepsTheEntries) {
    DataBase::GetConnection().SetUri((u"/nonexistent/" + std::u16string(u"host.db")).c_str());
    Store(1, u"10/0");
    Store(2, u"20/1");
    const AssayListRestore restore = Restore();
    EXPECT_TRUE(restore.databaseFailed);
    EXPECT_FALSE(restore.databaseError.empty());
    EXPECT_THAT(StoredNumbers(), ElementsAre(1, 2));
    EXPECT_THAT(UnrestoredAssays(), ElementsAre(StoredAssay{10, 0}, StoredAssay{20, 1}));
}

TEST(UnrestoredAssaysText, NamesTheDatabaseError) {
    EXPECT_EQ(UnrestoredAssaysText(u"database is locked"),
              u"Сохранённые хроматограммы не загружены: база данных недоступна.\n"
              u"database is locked\nСписок хроматограмм сохранён и будет загружен при следующем "
              u"открытии окна.");
}

} // namespace
} // namespace sepmet::testing
