// The trail under a failing disk and a killed program: an append that fails at any write or sync
// leaves the old chain or the new one, never a mix, and the program says which; a program killed
// while appending leaves a trail that opens and verifies.

#include "audit/audit_events.h"
#include "audit/audit_trail.h"
#include "audit/chain_verification.h"
#include "tests/audit/audit_test_support.h"
#include "tests/support/fault_vfs.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sqlite3.h>
#include <thread>
#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace sepmet::audit {
namespace {

using sepmet::testing::ArmFault;
using sepmet::testing::DisarmFault;
using sepmet::testing::FaultCount;
using sepmet::testing::FaultOp;
using testing::TemporaryFolder;

ChainVerification Verify(const std::string& path) {
    const AuditStore store = AuditStore::OpenReadOnly(path);
    return VerifyChain(store.ReadAll(), store.HighestNumberGiven());
}

TEST(AuditDurability, AppendFailingAtEachWriteOrSyncKeepsTheOldChainOrTheNewAndSaysWhich) {
    struct Fault {
        FaultOp op;
        int error;
    } faults[] = {{FaultOp::Write, SQLITE_FULL},
                  {FaultOp::Write, SQLITE_IOERR_WRITE},
                  {FaultOp::Sync, SQLITE_IOERR_FSYNC}};
    DisarmFault(); // the failing file layer is the default from here on
    for (const Fault& fault : faults) {
        int failed = 0; // appends that the fault stopped
        for (int nth = 1;; ++nth) {
            ASSERT_LT(nth, 200) << "the append never ran out of operations to fail";
            TemporaryFolder folder;
            const std::string path = folder.File("a.sqlite");
            int notices = 0;
            {
                AuditTrail trail(path, AuditStore::Folders::Existing,
                                 [&](const AuditFailure&) { ++notices; });
                trail.Record(kRecalculationEvent, "{\"n\":1}");
                trail.Record(kRecalculationEvent, "{\"n\":2}");
                ArmFault(fault.op, nth, fault.error);
                const bool recorded = trail.Record(kReportEvent, "{\"n\":3}").has_value();
                const int seen = FaultCount(fault.op);
                DisarmFault();
                const ChainVerification v = Verify(path);
                EXPECT_TRUE(v.Intact()) << "fault at " << nth << "\n" << VerificationText(v);
                EXPECT_EQ(v.events, recorded ? 3 : 2) << "fault at " << nth;
                EXPECT_EQ(notices, recorded ? 0 : 1) << "fault at " << nth;
                if (recorded) {
                    // The append needed fewer operations than nth: every one was failed in turn.
                    EXPECT_LT(seen, nth);
                    break;
                }
                ++failed;
                // The trail goes on: the next event is recorded and counts the one lost.
                const std::optional<AppendedEvent> next =
                    trail.Record(kRecalculationEvent, "{\"n\":4}");
                ASSERT_TRUE(next) << "fault at " << nth;
                EXPECT_TRUE(next->event.payload.ends_with(",\"lostEvents\":1}"));
            }
            // After the program ends, the file holds the same chain.
            const ChainVerification after = Verify(path);
            EXPECT_TRUE(after.Intact()) << VerificationText(after);
            EXPECT_EQ(after.events, 3) << "fault at " << nth;
        }
        EXPECT_GE(failed, 1) << "the fault never reached the trail's file";
    }
}

// A child appends without pause until it is killed at a random moment; the parent kills it,
// checks the trail and lets the next child go on with the same file.
TEST(AuditDurability, ProgramKilledWhileAppendingLeavesATrailThatVerifies) {
#if defined(_WIN32)
    GTEST_SKIP()
        << "the appending program is a forked child killed by SIGKILL; Windows has no fork";
#else
    TemporaryFolder folder;
    const std::string path = folder.File("a.sqlite");
    AuditStore::OpenForAppend(path).Append(kRecalculationEvent, "{}");
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayMs(5, 60);
    std::int64_t events = 1;
    for (int round = 0; round < 12; ++round) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            AuditTrail trail(path, AuditStore::Folders::Existing, {});
            for (int i = 0;; ++i)
                trail.Record(kRecalculationEvent, "{\"i\":" + std::to_string(i) + "}");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status));

        const ChainVerification v = Verify(path);
        EXPECT_TRUE(v.Intact()) << "round " << round << "\n" << VerificationText(v);
        EXPECT_GE(v.events, events);
        events = v.events;
    }
    // And it takes the next event.
    EXPECT_EQ(AuditStore::OpenForAppend(path).Append(kReportEvent, "{}").event.seq, events + 1);
#endif
}

} // namespace
} // namespace sepmet::audit
