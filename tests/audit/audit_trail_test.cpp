// The session's trail: the recalculation event as stored, and a store that cannot be written.

#include "audit/audit_events.h"
#include "audit/audit_trail.h"
#include "audit/sha256.h"
#include "audit/window_audit.h"
#include "data/assay_collection.h"
#include "tests/audit/audit_test_support.h"

#include <gtest/gtest.h>
#if defined(_WIN32)
#include "platform/win_text.h"

#include <windows.h>
#endif
#include <sys/stat.h>

namespace sepmet::audit {
namespace {

using testing::RunUnprivileged;
using testing::TemporaryFolder;

Assay SampleAssay() {
    Assay assay;
    assay.id = 7;
    assay.filename = u"D:\\data\\run \"1\".chr";
    assay.sample = u"поглот 1";
    assay.peaks = {{u"", u"Метанол", 1234.5, 0.1, 0, 0, 2, 0, 0},
                   {u"", u"Вода", 100, 3.25, 0, 0, 1, 0, 0}};
    return assay;
}

TEST(AuditEvents, PeaksDigestIsTheShaOfTabSeparatedLines) {
    EXPECT_EQ(PeaksDigest(SampleAssay().peaks),
              Sha256Hex("Метанол\t1234.5\t0.10000000000000001\t2\nВода\t100\t3.25\t1\n"));
    EXPECT_EQ(PeaksDigest({}), Sha256Hex(""));
}

TEST(AuditEvents, RecalculationPayloadHoldsTheStateInFixedOrder) {
    AssayCollection assays;
    assays.AddLoadedAssay(SampleAssay());
    CalculationState state;
    state.settings.vW = 100;
    state.settings.rhoG = 0.7;
    state.calibrationTable[u"Метанол"].k_avg = 0.049512;
    ContentRecord& content = state.contentTable[u"Метанол"];
    content.y_avg = 0.120736;
    content.uncertainty = std::numeric_limits<double>::quiet_NaN();
    content.massFraction = 1e-20;
    content.molarFraction = -std::numeric_limits<double>::infinity();
    state.threeMeasurementsRequired = true;
    ReadinessFlags flags{true, false, true};

    EXPECT_EQ(RecalculationPayload(kCommandAdd, assays, state, flags,
                                   {u"Ошибок нет!", u"     - \"a\"\\b\tc"}),
              "{\"command\":\"+\",\"chromatograms\":[{\"id\":7,\"fileName\":"
              "\"D:\\\\data\\\\run \\\"1\\\".chr\",\"peaks\":\"" +
                  PeaksDigest(SampleAssay().peaks) +
                  "\"}],\"conditions\":{\"vW\":100,\"vG\":0,\"rhoG\":0.69999999999999996,"
                  "\"atmP\":101.325,\"gasT\":20},\"calibrationReady\":true,"
                  "\"absorptionReady\":false,\"conditionsReady\":true,"
                  "\"threeMeasurementsRequired\":true,\"k_avg\":0.049512,"
                  "\"y_avg\":0.120736,\"uncertainty\":null,"
                  "\"massFraction\":9.9999999999999995e-21,\"molarFraction\":null,"
                  "\"messages\":[\"Ошибок нет!\",\"     - \\\"a\\\"\\\\b\\u0009c\"]}");

    // Without a methanol record the results are 0, and the tables stay as they were.
    CalculationState empty;
    const std::string payload =
        RecalculationPayload(kCommandOpen, AssayCollection(), empty, ReadinessFlags{}, {});
    EXPECT_NE(payload.find("\"chromatograms\":[],"), std::string::npos) << payload;
    EXPECT_NE(payload.find("\"k_avg\":0,\"y_avg\":0,"), std::string::npos) << payload;
    EXPECT_TRUE(empty.calibrationTable.empty());
    EXPECT_TRUE(empty.contentTable.empty());
}

TEST(AuditTrailRecording, RecalculationsLandInTheStoreInOrder) {
    TemporaryFolder folder;
    int notices = 0;
    AuditTrail trail(folder.File("a.sqlite"), AuditStore::Folders::Existing,
                     [&](const AuditFailure&) { ++notices; });
    CalculationState state;
    trail.RecordRecalculation(kCommandOpen, AssayCollection(), state, {}, {});
    trail.RecordRecalculation(kCommandClear, AssayCollection(), state, {}, {});
    EXPECT_EQ(notices, 0);
    const std::vector<EventRecord> events =
        AuditStore::OpenReadOnly(folder.File("a.sqlite")).ReadAll();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, "recalculation");
    EXPECT_EQ(events[1].payload.rfind("{\"command\":\"--\",", 0), 0u);
}

TEST(AuditTrailFailure, ReadOnlyStoreGivesOneNoticeAndRecordsNothing) {
#if defined(_WIN32)
    GTEST_SKIP() << "Wine runs here as root, whom read-only files do not stop";
#endif
    TemporaryFolder folder;
    const std::string path = folder.File("a.sqlite");
    AuditStore::OpenForAppend(path).Append("recalculation", "{}");
    ::chmod(path.c_str(), 0444);
    ::chmod(folder.Path().c_str(), 0555);

    const int status = RunUnprivileged([&] {
        std::vector<AuditFailure> notices;
        AuditTrail trail(path, AuditStore::Folders::Existing,
                         [&](const AuditFailure& failure) { notices.push_back(failure); });
        CalculationState state;
        for (int i = 0; i < 3; ++i)
            trail.RecordRecalculation(kCommandReload, AssayCollection(), state, {}, {});
        // A report would print no reference.
        const bool noReference = !trail.Record(kReportEvent, "{}");
        if (notices.size() != 1 || !noReference)
            return 1;
        if (notices[0].path != path || notices[0].reason != "attempt to write a readonly database")
            return 2;
        const std::u16string text = NoticeText(notices[0]);
        return text.starts_with(u"Событие не записано в журнал аудита:\n") &&
                       text.find(u"a.sqlite") != std::u16string::npos &&
                       text.find(u"attempt to write a readonly database") != std::u16string::npos
                   ? 0
                   : 3;
    });
    EXPECT_EQ(status, 0);
    ::chmod(folder.Path().c_str(), 0700);
    EXPECT_EQ(AuditStore::OpenReadOnly(path).ReadAll().size(), 1u);
}

TEST(AuditTrailFailure, LostEventsAreCountedInTheNextOneRecordedAndRecordedOnesAreLogged) {
    TemporaryFolder folder;
    const std::string path = folder.File("a.sqlite");
    AuditStore::OpenForAppend(path);
    testing::ExecuteSql(path, "CREATE TRIGGER refuse BEFORE INSERT ON event WHEN "
                              "NEW.payload LIKE '{\"command\":\"R\"%' "
                              "BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    testing::FakeSystemLog log;
    int notices = 0;
    AuditTrail trail(
        path, AuditStore::Folders::Existing, [&](const AuditFailure&) { ++notices; }, &log);
    CalculationState state;
    for (std::string_view command :
         {kCommandOpen, kCommandReload, kCommandReload, kCommandAdd, kCommandRemove})
        trail.RecordRecalculation(command, AssayCollection(), state, {}, {});
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(trail.Lost(), 0);

    const AuditStore store = AuditStore::OpenReadOnly(path);
    const std::vector<EventRecord> events = store.ReadAll();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].payload.find("lostEvents"), std::string::npos);
    EXPECT_EQ(events[1].payload.rfind("{\"command\":\"+\",", 0), 0u);
    EXPECT_TRUE(events[1].payload.ends_with(",\"lostEvents\":2}")) << events[1].payload;
    EXPECT_EQ(events[2].payload.find("lostEvents"), std::string::npos);

    ASSERT_EQ(log.entries.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(log.entries[i].trail, store.TrailId());
        EXPECT_EQ(log.entries[i].seq, events[i].seq);
        EXPECT_EQ(log.entries[i].hash, events[i].hash);
        EXPECT_EQ(log.entries[i].trailPath, path);
    }
    EXPECT_EQ(WithLostEvents("{}", 3), "{\"lostEvents\":3}");
}

TEST(AuditTrailFailure, StoreThatCannotBeOpenedGivesOneNotice) {
    TemporaryFolder folder;
    std::vector<AuditFailure> notices;
    AuditTrail trail(folder.File("missing/a.sqlite"), AuditStore::Folders::Existing,
                     [&](const AuditFailure& failure) { notices.push_back(failure); });
    CalculationState state;
    trail.RecordRecalculation(kCommandOpen, AssayCollection(), state, {}, {});
    trail.RecordRecalculation(kCommandAdd, AssayCollection(), state, {}, {});
    ASSERT_EQ(notices.size(), 1u);
#if defined(_WIN32)
    const std::string missingFolder = SystemErrorText(ERROR_PATH_NOT_FOUND);
#else
    const std::string missingFolder = "No such file or directory";
#endif
    EXPECT_EQ(notices[0].reason,
              "cannot create " + folder.File("missing/a.sqlite") + ": " + missingFolder);
    EXPECT_TRUE(trail.Noticed());
}

} // namespace
} // namespace sepmet::audit

namespace sepmet::audit {
namespace {

TEST(WindowAudit, StoreIsTheProfilesAbsolutePathOrTheDefault) {
    EXPECT_EQ(WindowStorePath(u"/srv/лаб/audit.sqlite"), "/srv/лаб/audit.sqlite");
    EXPECT_EQ(WindowStorePath(u""), DefaultStorePath());
    EXPECT_EQ(WindowStorePath(u"audit.sqlite"), DefaultStorePath());
}

TEST(WindowAudit, RecalculationsCarryTheCommandGivenLast) {
    testing::TemporaryFolder folder;
    const std::string path = folder.File("new/folder/a.sqlite"); // folders are created
    WindowAuditTrail window(path, {});
    AssayCollection assays;
    CalculationState state;
    window.Recalculated(assays, state, {}, {});
    window.CommandGiven(kCommandAdd);
    window.Recalculated(assays, state, {}, {});
    window.CommandGiven(kCommandSettings);
    window.Recalculated(assays, state, {}, {});
    EXPECT_FALSE(window.Trail().Noticed());

    std::vector<std::string> commands;
    for (const EventRecord& event : AuditStore::OpenReadOnly(path).ReadAll())
        commands.push_back(event.payload.substr(0, event.payload.find(',')));
    EXPECT_EQ(commands, (std::vector<std::string>{"{\"command\":\"open\"", "{\"command\":\"+\"",
                                                  "{\"command\":\"S\""}));
}

} // namespace
} // namespace sepmet::audit
