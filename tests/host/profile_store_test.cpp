// The profile store behind the "Profile/..." services: kinds, verbatim keys, one set per
// analysis database, the string buffer, a read-only file and a store that cannot be opened.
#include "host/host_table.h"
#include "host/profile_services.h"
#include "host/profile_store.h"
#include "platform/file_system_kind.h"
#include "plugin/host_services.h"
#include "tests/host/host_test_support.h"
#include "tests/support/fault_vfs.h"

#include <array>
#include <gtest/gtest.h>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

namespace sepmet::host::testing {
namespace {

std::unique_ptr<ProfileStore> OpenStore(const std::filesystem::path& file) {
    std::string error;
    auto store = ProfileStore::Open(file, error);
    EXPECT_TRUE(store) << error;
    if (store)
        store->SelectDatabase(u"/data/lab.sqlite");
    return store;
}

TEST(ProfileStore, KeepsEachValueWithItsKindAcrossReopening) {
    TemporaryFolder folder;
    const auto file = folder.File("nested/folders/profile.sqlite");
    {
        auto store = OpenStore(file); // the folders are created
        ASSERT_TRUE(store);
        EXPECT_EQ(store->JournalMode(), "wal");
        EXPECT_TRUE(store->SetInt(u"plugins\\sepmet\\/WindowRect_tlx", -17));
        EXPECT_TRUE(store->SetDouble(u"plugins\\sepmet\\/atmP", 101.325));
        EXPECT_TRUE(store->SetText(u"plugins\\sepmet\\/Assay 1", u"12/1"));
        EXPECT_TRUE(store->SetText(u"plugins\\sepmet\\/empty", u""));
    }
    auto store = OpenStore(file);
    ASSERT_TRUE(store);
    EXPECT_EQ(store->GetInt(u"plugins\\sepmet\\/WindowRect_tlx"), -17);
    EXPECT_EQ(store->GetDouble(u"plugins\\sepmet\\/atmP"), 101.325);
    EXPECT_EQ(store->GetText(u"plugins\\sepmet\\/Assay 1"), u"12/1");
    EXPECT_EQ(store->GetText(u"plugins\\sepmet\\/empty"), u"");
    // A value is answered only in its own kind.
    EXPECT_EQ(store->GetDouble(u"plugins\\sepmet\\/WindowRect_tlx"), std::nullopt);
    EXPECT_EQ(store->GetInt(u"plugins\\sepmet\\/atmP"), std::nullopt);
    EXPECT_EQ(store->GetInt(u"plugins\\sepmet\\/Assay 1"), std::nullopt);
    // Rewriting with another kind replaces the value.
    EXPECT_TRUE(store->SetDouble(u"plugins\\sepmet\\/WindowRect_tlx", 2.5));
    EXPECT_EQ(store->GetInt(u"plugins\\sepmet\\/WindowRect_tlx"), std::nullopt);
    EXPECT_EQ(store->GetDouble(u"plugins\\sepmet\\/WindowRect_tlx"), 2.5);
    EXPECT_TRUE(store->Delete(u"plugins\\sepmet\\/Assay 1"));
    EXPECT_FALSE(store->Delete(u"plugins\\sepmet\\/Assay 1"));
    EXPECT_EQ(store->GetText(u"plugins\\sepmet\\/Assay 1"), std::nullopt);
}

TEST(ProfileStore, KeysAreVerbatimAndEachDatabaseHasItsOwnSet) {
    TemporaryFolder folder;
    auto store = OpenStore(folder.File("profile.sqlite"));
    ASSERT_TRUE(store);
    // Keys differing only in case, separator or trailing blank are different keys.
    const std::u16string keys[] = {u"plugins\\sepmet\\/vW",
                                   u"plugins\\sepmet/vW",
                                   u"PLUGINS\\SEPMET\\/VW",
                                   u"plugins\\sepmet\\/vW ",
                                   u"/vW",
                                   u"Проба\\/Ёлка"};
    for (std::size_t i = 0; i < std::size(keys); ++i)
        ASSERT_TRUE(store->SetInt(keys[i], static_cast<int>(i)));
    for (std::size_t i = 0; i < std::size(keys); ++i)
        EXPECT_EQ(store->GetInt(keys[i]), static_cast<int>(i));

    store->SelectDatabase(u"/data/other.sqlite");
    EXPECT_EQ(store->GetInt(keys[0]), std::nullopt);
    EXPECT_TRUE(store->SetInt(keys[0], 99));
    store->SelectDatabase(u"/data/lab.sqlite");
    EXPECT_EQ(store->GetInt(keys[0]), 0);
}

TEST(ProfileServices, AnswerThroughTheHostTableWithinTheBuffer) {
    TemporaryFolder folder;
    auto store = OpenStore(folder.File("profile.sqlite"));
    ASSERT_TRUE(store);
    HostTable table;
    OfferProfileServices(table, *store);
    auto call = [&](const char* service, const char16_t* key, const void* second) {
        return table.api()->callService(service, reinterpret_cast<HostWord>(key),
                                        reinterpret_cast<HostWord>(second));
    };

    const std::int32_t number = 42;
    const double value = 0.7;
    EXPECT_EQ(call(HostService::ProfileSetInt, u"k\\/i", &number), 1);
    EXPECT_EQ(call(HostService::ProfileSetDouble, u"k\\/d", &value), 1);
    std::int32_t readNumber = 0;
    double readValue = 0;
    EXPECT_EQ(call(HostService::ProfileGetInt, u"k\\/i", &readNumber), 1);
    EXPECT_EQ(readNumber, 42);
    EXPECT_EQ(call(HostService::ProfileGetDouble, u"k\\/d", &readValue), 1);
    EXPECT_EQ(readValue, 0.7);
    EXPECT_EQ(call(HostService::ProfileGetInt, u"k\\/d", &readNumber), 0);
    EXPECT_EQ(call(HostService::ProfileGetInt, u"k\\/absent", &readNumber), 0);

    // 255 units come back whole with a NUL; a longer text is cut to 255 without splitting a
    // surrogate pair.
    const std::u16string full(255, u'ё');
    std::u16string longer(254, u'x');
    longer += u"\U0001F600tail"; // the pair would straddle the 255th unit
    for (const auto& [key, text, expected] :
         {std::tuple{u"k\\/full", full, full},
          std::tuple{u"k\\/longer", longer, std::u16string(254, u'x')}}) {
        EXPECT_EQ(call(HostService::ProfileSetString, key, text.c_str()), 1);
        std::array<char16_t, kProfileStringCapacity> units{};
        units.fill(u'#');
        ProfileStringBuffer buffer{units.data(), kProfileStringCapacity};
        EXPECT_EQ(call(HostService::ProfileGetString, key, &buffer), 1);
        EXPECT_EQ(std::u16string(units.data()), expected);
    }
    std::array<char16_t, 4> small{};
    ProfileStringBuffer tiny{small.data(), 4};
    EXPECT_EQ(call(HostService::ProfileGetString, u"k\\/full", &tiny), 1);
    EXPECT_EQ(std::u16string(small.data()), u"ёёё");
    ProfileStringBuffer none{small.data(), 0};
    EXPECT_EQ(call(HostService::ProfileGetString, u"k\\/full", &none), 0);

    EXPECT_EQ(call(HostService::ProfileDelParam, u"k\\/i", nullptr), 1);
    EXPECT_EQ(call(HostService::ProfileDelParam, u"k\\/i", nullptr), 0);
    WithdrawProfileServices(table);
    EXPECT_EQ(call(HostService::ProfileGetInt, u"k\\/d", &readNumber), kServiceMissing);
}

// A store file the user may only read: values are answered, writes fail, nothing is lost.
// Checked as an unprivileged user, since the file modes do not bind the superuser.
TEST(ProfileStore, AReadOnlyFileAnswersReadsAndRefusesWrites) {
    TemporaryFolder folder;
    const auto file = folder.File("profile.sqlite");
    {
        auto store = OpenStore(file);
        ASSERT_TRUE(store);
        ASSERT_TRUE(store->SetInt(u"k\\/i", 5));
        ASSERT_TRUE(store->SetText(u"k\\/t", u"Метанол"));
    }
    std::filesystem::permissions(folder.Path(), std::filesystem::perms(0755));
    std::filesystem::permissions(file, std::filesystem::perms(0444));
    auto check = [&]() -> int {
        std::string error;
        auto store = ProfileStore::Open(file, error);
        if (!store)
            return 10;
        store->SelectDatabase(u"/data/lab.sqlite");
        if (!store->readOnly())
            return 11;
        if (store->GetInt(u"k\\/i") != 5 || store->GetText(u"k\\/t") != u"Метанол")
            return 12;
        if (store->SetInt(u"k\\/i", 6) || store->SetText(u"k\\/n", u"x") || store->Delete(u"k\\/i"))
            return 13;
        return store->GetInt(u"k\\/i") == 5 ? 0 : 14;
    };
    if (geteuid() != 0) {
        EXPECT_EQ(check(), 0);
        return;
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int status = setgid(65534) == 0 && setuid(65534) == 0 ? check() : 20;
        _exit(status);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(ProfileStore, AStoreThatCannotBeOpenedIsReported) {
    TemporaryFolder folder;
    std::string error;
    EXPECT_EQ(ProfileStore::Open(folder.Path(), error), nullptr); // a folder, not a file
    EXPECT_FALSE(error.empty());
    const auto notDatabase = folder.File("text.sqlite");
    std::FILE* f = std::fopen(notDatabase.c_str(), "w");
    std::fputs("this is not a database, only some text long enough to be read", f);
    std::fclose(f);
    error.clear();
    EXPECT_EQ(ProfileStore::Open(notDatabase, error), nullptr);
    EXPECT_FALSE(error.empty());
}

// The values under one database, as text: what a save must keep whole or not at all.
using StoredValues = std::map<std::u16string, std::u16string>;

StoredValues ReadAll(const std::filesystem::path& file) {
    return StoredProfileValues(file, u"/data/lab.sqlite");
}

// A window's state as it writes it: the list entry by entry, the stale entries deleted, then
// the conditions.
void SaveState(ProfileStore& store, int entries, double vW) {
    for (int n = 1; n <= 13; ++n) {
        const std::u16string key = u"plugins\\sepmet\\/Assay " +
                                   std::u16string(1, u"0123456789"[n / 10]) +
                                   std::u16string(1, u"0123456789"[n % 10]);
        if (n <= entries)
            store.SetText(key, key.substr(key.size() - 2) + u"/1");
        else
            store.Delete(key);
    }
    for (const char16_t* key : {u"plugins\\sepmet\\/vW", u"plugins\\sepmet\\/vG"})
        store.SetDouble(key, vW);
}

// Each write and each sync of a save fails in turn (the disk full, the device failing): the
// store then holds the values of the save before or those of this one, never a mix, and the
// failure is reported by EndSave.
TEST(ProfileStore, ASaveIsKeptWholeOrNotAtAllWhateverWriteOrSyncFails) {
    sepmet::testing::DisarmFault(); // every store below is opened through the failing layer
    TemporaryFolder folder;
    const auto file = folder.File("profile.sqlite");
    StoredValues before, after;
    {
        auto store = OpenStore(file);
        ASSERT_TRUE(store);
        SaveState(*store, 13, 100);
        ASSERT_EQ(store->EndSave(), std::nullopt);
        before = ReadAll(file);
        SaveState(*store, 7, 50);
        ASSERT_EQ(store->EndSave(), std::nullopt);
        after = ReadAll(file);
        SaveState(*store, 13, 100);
    }
    ASSERT_EQ(ReadAll(file), before);
    ASSERT_NE(before, after);
    for (const auto op : {sepmet::testing::FaultOp::Write, sepmet::testing::FaultOp::Sync}) {
        for (int nth = 1;; ++nth) {
            ASSERT_LT(nth, 100) << "the save never completed";
            auto store = OpenStore(file);
            ASSERT_TRUE(store);
            sepmet::testing::ArmFault(op, nth, nth % 2 ? SQLITE_FULL : SQLITE_IOERR_WRITE);
            SaveState(*store, 7, 50);
            const auto failure = store->EndSave();
            const bool hit = sepmet::testing::FaultCount(op) >= nth;
            sepmet::testing::DisarmFault();
            store.reset();
            const StoredValues stored = ReadAll(file);
            SCOPED_TRACE(::testing::Message()
                         << (op == sepmet::testing::FaultOp::Write ? "write " : "sync ") << nth);
            EXPECT_EQ(failure.has_value(), hit);
            // A failed write leaves the old values; after a failed sync the new ones may have
            // reached the file all the same (the data was written, only its flush failed).
            if (op == sepmet::testing::FaultOp::Write || !hit)
                EXPECT_EQ(stored, hit ? before : after);
            else
                EXPECT_TRUE(stored == before || stored == after);
            if (!hit)
                break;
            // The next save is whole again: back to the state before.
            if (stored == after) {
                auto again = OpenStore(file);
                SaveState(*again, 13, 100);
                ASSERT_EQ(again->EndSave(), std::nullopt);
            }
        }
    }
}

// Another program holds the store's write lock: the save waits for it once, and once it has
// given up none of its values is written, even after the lock is gone; the next save is kept.
TEST(ProfileStore, ALockedStoreLosesTheWholeSaveAfterOneWait) {
    TemporaryFolder folder;
    const auto file = folder.File("profile.sqlite");
    auto store = OpenStore(file);
    ASSERT_TRUE(store);
    SaveState(*store, 13, 100);
    ASSERT_EQ(store->EndSave(), std::nullopt);
    const StoredValues before = ReadAll(file);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    int started = 0;
    store->OnSaveStarted([&] { ++started; });
    EXPECT_FALSE(store->SetText(u"plugins\\sepmet\\/Assay 01", u"99/0"));
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    SaveState(*store, 7, 50); // the lock is gone, but this save is lost already
    EXPECT_FALSE(store->SetInt(u"plugins\\sepmet\\/WindowRect_tlx", 1));
    const auto failure = store->EndSave();
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find("locked"), std::string::npos) << *failure;
    EXPECT_EQ(started, 1);
    EXPECT_EQ(ReadAll(file), before);

    SaveState(*store, 7, 50);
    EXPECT_EQ(store->EndSave(), std::nullopt);
    EXPECT_EQ(started, 2);
    EXPECT_NE(ReadAll(file), before);
}

TEST(FileSystemKind, NetworkFileSystemsAreToldByTheirMagic) {
    for (long magic : {0x6969L, 0x517BL, 0xFF534D42L, 0xFE534D42L})
        EXPECT_TRUE(IsNetworkFileSystemMagic(magic)) << std::hex << magic;
    // ext4, tmpfs, btrfs, overlay
    for (long magic : {0xEF53L, 0x01021994L, 0x9123683EL, 0x794C7630L})
        EXPECT_FALSE(IsNetworkFileSystemMagic(magic)) << std::hex << magic;
    EXPECT_FALSE(IsOnNetworkFileSystem(std::filesystem::temp_directory_path() / "not-yet"));
}

} // namespace
} // namespace sepmet::host::testing
