// Verification finds every kind of tampering with the stored events, and concurrent writers
// still give one chain.

#include "audit/audit_events.h"
#include "audit/audit_store.h"
#include "audit/audit_trail.h"
#include "audit/chain_verification.h"
#include "tests/audit/audit_test_support.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
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

// What the paper and the system's log reveal that the file alone cannot: a report printed at
// event 5 names event 4; the log holds every event as it was recorded.
struct AnchoredTrail {
    AnchoredTrail() {
        AuditTrail trail(path, AuditStore::Folders::Existing, {}, &log);
        for (int i = 1; i <= 5; ++i) {
            trail.Record(kRecalculationEvent, "{\"n\":" + std::to_string(i) + "}");
            if (i == 3) // the main file and its WAL, as a backup of the folder would hold them
                for (const char* suffix : {"", "-wal"})
                    if (std::filesystem::exists(path + suffix))
                        std::filesystem::copy_file(path + suffix, copy + suffix);
        }
        paper = {4, log.entries[3].hash.substr(0, 16)};
    }

    std::string Verify(bool logReadable = true) {
        log.readable = logReadable;
        return VerificationText(VerifyTrail(AuditStore::OpenReadOnly(path), {paper}, log));
    }

    // Event `from` gets `payload`, and every event from it on is hashed and linked afresh, as
    // someone who knows the formula would rewrite the chain.
    void RewriteChain(std::int64_t from, const std::string& payload) {
        std::vector<EventRecord> events = AuditStore::OpenReadOnly(path).ReadAll();
        for (std::size_t i = 0; i < events.size(); ++i) {
            EventRecord& e = events[i];
            if (e.seq < from)
                continue;
            if (e.seq == from)
                e.payload = payload;
            e.prev = i ? events[i - 1].hash : "";
            e.hash = EventHash(e);
            ExecuteSql(path, "UPDATE event SET payload = '" + e.payload + "', prev = '" + e.prev +
                                 "', hash = '" + e.hash + "' WHERE seq = " + std::to_string(e.seq));
        }
    }

    // A copy taken after event 3 put back in its place and written on.
    void RestoreOlderCopy() {
        for (const char* suffix : {"", "-wal", "-shm"}) {
            std::filesystem::remove(path + suffix);
            if (std::filesystem::exists(copy + suffix))
                std::filesystem::copy_file(copy + suffix, path + suffix);
        }
        AuditTrail trail(path, AuditStore::Folders::Existing, {}, &log);
        trail.Record(kRecalculationEvent, "{\"n\":40}");
    }

    std::string Logged(int seq) const {
        return log.entries[static_cast<std::size_t>(seq - 1)].hash;
    }

    TemporaryFolder folder;
    const std::string path = folder.File("a.sqlite");
    const std::string copy = folder.File("copy.sqlite");
    testing::FakeSystemLog log;
    ChainAnchor paper;
};

TEST(AuditAnchors, UntouchedTrailMatchesThePaperAndTheLog) {
    AnchoredTrail t;
    const std::string text = t.Verify();
    EXPECT_EQ(text.substr(0, text.find('\n')), "audit: 5 events, chain intact");
    EXPECT_NE(text.find("expected seq 4, hash " + t.paper.hashPrefix + ": matches\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("system log: 5 entries of trail " + t.log.entries[0].trail + ", 5 agree\n"),
              std::string::npos)
        << text;
    const std::optional<ChainAnchor> typed = ParseChainAnchor("4:" + t.Logged(4).substr(0, 20));
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->seq, 4);
    for (const char* bad :
         {"4:abc", "x:0123456789abcdef", "0:0123456789abcdef", "4", "4:0123456789abcdeg"})
        EXPECT_FALSE(ParseChainAnchor(bad)) << bad;
}

TEST(AuditAnchors, TamperingTheFileCannotShowIsFound) {
    struct Case {
        const char* name;
        std::function<void(AnchoredTrail&)> tamper;
        std::function<std::vector<std::string>(const AnchoredTrail&)> lines; // each must appear
    } cases[] = {
        {"truncated tail, counter lowered",
         [](AnchoredTrail& t) {
             ExecuteSql(t.path, "DELETE FROM event WHERE seq >= 4;"
                                "UPDATE sqlite_sequence SET seq = 3 WHERE name = 'event'");
         },
         [](const AnchoredTrail& t) {
             return std::vector<std::string>{
                 "expected seq 4, hash " + t.paper.hashPrefix + ": no such event in the trail\n",
                 "system log contradicts seq 4: logged hash " + t.Logged(4) +
                     ", the trail has no such event\n",
                 "system log contradicts seq 5: logged hash " + t.Logged(5)};
         }},
        {"rewritten chain", [](AnchoredTrail& t) { t.RewriteChain(2, "{\"n\":20}"); },
         [](const AnchoredTrail& t) {
             return std::vector<std::string>{"expected seq 4, hash " + t.paper.hashPrefix +
                                                 ": does not match (the trail holds ",
                                             "system log contradicts seq 2: logged hash " +
                                                 t.Logged(2) + ", the trail holds "};
         }},
        {"older copy restored, then written on", [](AnchoredTrail& t) { t.RestoreOlderCopy(); },
         [](const AnchoredTrail& t) {
             return std::vector<std::string>{
                 "expected seq 4, hash " + t.paper.hashPrefix + ": does not match",
                 "system log contradicts seq 4: logged hash " + t.Logged(4) + ", the trail holds ",
                 "system log contradicts seq 5: logged hash " + t.Logged(5) +
                     ", the trail has no such event\n"};
         }},
    };
    for (const Case& c : cases) {
        AnchoredTrail t;
        c.tamper(t);
        const std::string text = t.Verify();
        EXPECT_EQ(text.find("chain intact"), std::string::npos) << c.name << "\n" << text;
        for (const std::string& line : c.lines(t))
            EXPECT_NE(text.find(line), std::string::npos) << c.name << ": " << line << "\n" << text;
        // Without the log, the paper alone still tells.
        const std::string withoutLog = t.Verify(false);
        EXPECT_EQ(withoutLog.find("chain intact"), std::string::npos) << c.name;
        EXPECT_NE(withoutLog.find("system log: cannot be read (permission denied); not compared"),
                  std::string::npos)
            << withoutLog;
    }
}

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
