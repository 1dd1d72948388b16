// Verification finds every kind of tampering with the stored events, and concurrent writers
// still give one chain.

#include "audit/audit_store.h"
#include "audit/chain_verification.h"
#include "tests/audit/audit_test_support.h"

#include <gtest/gtest.h>
#if defined(_WIN32)
#include <atomic>
#include <thread>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace sepmet::audit {
namespace {

using testing::ExecuteSql;
using testing::TemporaryFolder;

ChainVerification Verify(const std::string& path) {
    AuditStore store = AuditStore::OpenReadOnly(path);
    return VerifyChain(store.ReadAll(), store.HighestNumberGiven());
}

class AuditChain : public ::testing::Test {
protected:
    void SetUp() override {
        AuditStore store = AuditStore::OpenForAppend(path);
        for (int i = 1; i <= 5; ++i)
            store.Append(i % 2 ? "recalculation" : "report", "{\"n\":" + std::to_string(i) + "}");
    }

    TemporaryFolder folder;
    const std::string path = folder.File("a.sqlite");
};

TEST_F(AuditChain, UntouchedChainIsIntact) {
    const ChainVerification v = Verify(path);
    EXPECT_TRUE(v.Intact());
    EXPECT_EQ(v.events, 5);
    EXPECT_EQ(v.lastSeq, 5);
    const std::string text = VerificationText(v);
    EXPECT_EQ(text, "audit: 5 events, chain intact\nlast seq 5, hash " + v.lastHash + "\n");
    EXPECT_EQ(v.lastHash.size(), 64u);
}

TEST_F(AuditChain, EmptyStoreIsIntact) {
    TemporaryFolder other;
    AuditStore::OpenForAppend(other.File("e.sqlite"));
    const ChainVerification v = Verify(other.File("e.sqlite"));
    EXPECT_TRUE(v.Intact());
    EXPECT_EQ(VerificationText(v), "audit: 0 events, chain intact\n");
}

struct Tampering {
    const char* name;
    const char* sql;
    std::int64_t firstBroken; // 0: none
    bool hashWrong;
    bool linkWrong;
    std::vector<ChainVerification::Gap> gaps;
    const char* text; // the lines after the first
};

void PrintTo(const Tampering& t, std::ostream* os) {
    *os << t.name;
}

class AuditChainTampering : public AuditChain, public ::testing::WithParamInterface<Tampering> {};

TEST_P(AuditChainTampering, IsNamed) {
    const Tampering& t = GetParam();
    ExecuteSql(path, t.sql);
    const ChainVerification v = Verify(path);
    EXPECT_FALSE(v.Intact());
    if (t.firstBroken) {
        ASSERT_TRUE(v.firstBroken);
        EXPECT_EQ(*v.firstBroken, t.firstBroken);
    } else {
        EXPECT_FALSE(v.firstBroken);
    }
    EXPECT_EQ(v.hashWrong, t.hashWrong);
    EXPECT_EQ(v.linkWrong, t.linkWrong);
    ASSERT_EQ(v.gaps.size(), t.gaps.size());
    for (std::size_t i = 0; i < t.gaps.size(); ++i) {
        EXPECT_EQ(v.gaps[i].from, t.gaps[i].from);
        EXPECT_EQ(v.gaps[i].to, t.gaps[i].to);
    }
    const std::string text = VerificationText(v);
    EXPECT_EQ(text.substr(text.find('\n') + 1), t.text);
}

// Rows 2 and 3 exchange everything but their numbers.
constexpr const char* kSwap =
    "CREATE TEMP TABLE t AS SELECT * FROM event WHERE seq IN (2, 3);"
    "UPDATE event SET (at, user, machine, version, kind, payload, prev, hash) = "
    "(SELECT at, user, machine, version, kind, payload, prev, hash FROM t "
    " WHERE t.seq = 5 - event.seq) WHERE seq IN (2, 3);";

INSTANTIATE_TEST_SUITE_P(
    Cases, AuditChainTampering,
    ::testing::Values(
        Tampering{"EditedPayload",
                  "UPDATE event SET payload = '{\"n\":33}' WHERE seq = 3",
                  3,
                  true,
                  false,
                  {},
                  "first wrong event: seq 3 (its hash does not match its contents)\n"},
        Tampering{"EditedHashToMatch",
                  "UPDATE event SET hash = 'ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb41"
                  "0ff61f20015ad' WHERE seq = 2",
                  2,
                  true,
                  false,
                  {},
                  "first wrong event: seq 2 (its hash does not match its contents)\n"},
        Tampering{"DeletedEvent",
                  "DELETE FROM event WHERE seq = 3",
                  4,
                  false,
                  true,
                  {{3, 3}},
                  "first wrong event: seq 4 (its prev is not the hash of the event before it)\n"
                  "gap: seq 3 missing\n"},
        Tampering{"DeletedFirstEvents",
                  "DELETE FROM event WHERE seq <= 2",
                  3,
                  false,
                  true,
                  {{1, 2}},
                  "first wrong event: seq 3 (its prev is not the hash of the event before it)\n"
                  "gap: seq 1-2 missing\n"},
        Tampering{"DeletedLastEvents",
                  "DELETE FROM event WHERE seq >= 4",
                  0,
                  false,
                  false,
                  {{4, 5}},
                  "gap: seq 4-5 missing (after the last event)\n"},
        Tampering{"SwappedEvents",
                  kSwap,
                  2,
                  false,
                  true,
                  {},
                  "first wrong event: seq 2 (its prev is not the hash of the event before it)\n"},
        Tampering{"Renumbered",
                  "UPDATE event SET seq = 9 WHERE seq = 5",
                  0,
                  false,
                  false,
                  {{5, 8}},
                  "gap: seq 5-8 missing\n"}),
    [](const auto& info) { return std::string(info.param.name); });

#if defined(_WIN32)
// Windows has no fork: each appender is a thread with a connection of its own, which SQLite
// locks against the other exactly as it locks another process.
TEST(AuditChainConcurrency, TwoConnectionsAppendingGiveOneChain) {
    TemporaryFolder folder;
    const std::string path = folder.File("a.sqlite");
    AuditStore::OpenForAppend(path); // the file exists before both start
    std::atomic<int> failures = 0;
    const auto append = [&](int id) {
        try {
            AuditStore store = AuditStore::OpenForAppend(path);
            for (int i = 0; i < 200; ++i)
                store.Append("recalculation", "{\"thread\":" + std::to_string(id) + "}");
        } catch (const std::exception&) {
            ++failures;
        }
    };
    std::thread a(append, 1);
    std::thread b(append, 2);
    a.join();
    b.join();
    EXPECT_EQ(failures, 0);
    const ChainVerification v = Verify(path);
    EXPECT_TRUE(v.Intact()) << VerificationText(v);
    EXPECT_EQ(v.events, 400);
    EXPECT_EQ(v.lastSeq, 400);
}
#else
// Each child appends `count` events through its own connection, as a second window would.
pid_t SpawnAppender(const std::string& path, int count) {
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    int status = 0;
    try {
        AuditStore store = AuditStore::OpenForAppend(path);
        for (int i = 0; i < count; ++i)
            store.Append("recalculation", "{\"pid\":" + std::to_string(getpid()) + "}");
    } catch (const std::exception&) {
        status = 1;
    }
    _exit(status);
}

TEST(AuditChainConcurrency, TwoProcessesAppendingGiveOneChain) {
    TemporaryFolder folder;
    const std::string path = folder.File("a.sqlite");
    AuditStore::OpenForAppend(path); // the file exists before both start
    const pid_t a = SpawnAppender(path, 200);
    const pid_t b = SpawnAppender(path, 200);
    for (pid_t pid : {a, b}) {
        int status = -1;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const ChainVerification v = Verify(path);
    EXPECT_TRUE(v.Intact()) << VerificationText(v);
    EXPECT_EQ(v.events, 400);
    EXPECT_EQ(v.lastSeq, 400);
}
#endif

} // namespace
} // namespace sepmet::audit
