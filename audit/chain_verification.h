#pragma once
// Verification of the audit chain, one event at a time: every event's hash recomputed from its
// fields, every link to the event before, every number from 1 to the highest the store ever
// gave, the references printed on reports (--expect), and the entries the system's log holds
// for the trail.

#include "audit/audit_store.h"
#include "platform/system_log.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sepmet::audit {

// A reference printed on paper: the number of an event and at least the first 16 hexadecimal
// digits of its hash.
struct ChainAnchor {
    std::int64_t seq = 0;
    std::string hashPrefix; // lowercase
};

// "SEQ:HASH" with HASH 16 to 64 hexadecimal digits (either case); nothing when malformed.
std::optional<ChainAnchor> ParseChainAnchor(const std::string& text);

struct ChainVerification {
    std::int64_t events = 0;
    std::int64_t lastSeq = 0; // 0 for an empty store
    std::string lastHash;

    // The first event whose stored hash or link is wrong.
    std::optional<std::int64_t> firstBroken;
    bool hashWrong = false; // its hash does not match its fields
    bool linkWrong = false; // its prev is not the hash of the event before ("" for the first)

    struct Gap {
        std::int64_t from; // first missing number
        std::int64_t to;   // last missing number
    };
    std::vector<Gap> gaps; // numbers missing between 1 and the highest ever given

    struct AnchorCheck {
        ChainAnchor anchor;
        std::optional<std::string> found; // the hash the trail holds for that number
        bool Matches() const { return found && found->starts_with(anchor.hashPrefix); }
    };
    std::vector<AnchorCheck> anchors;

    // The comparison with the system's log (VerifyTrail).
    bool logConsulted = false;
    std::string trailId;         // empty: the trail has no identifier, nothing was compared
    bool logRead = false;        // the log could be read
    std::string logReason;       // why it could not
    std::int64_t logEntries = 0; // entries of this trail the log holds
    std::int64_t logAgreeing = 0;
    struct Contradiction {
        std::int64_t seq;
        std::string logged;  // the hash the log holds
        std::string inTrail; // the hash the trail holds; empty when the trail has no such event
    };
    std::vector<Contradiction> contradictions;

    bool Intact() const;
};

// Takes the events in the order of their numbers; the store is never held in memory.
class ChainVerifier {
public:
    // `logged`: number → hash of the log's entries for this trail (empty when none or unread);
    // a number may have been logged more than once.
    explicit ChainVerifier(std::vector<ChainAnchor> anchors = {},
                           std::multimap<std::int64_t, std::string> logged = {});

    void Add(const EventRecord& event);
    // `highestNumberGiven` reveals events deleted at the end.
    ChainVerification Finish(std::int64_t highestNumberGiven);

    ChainVerification& Result() { return result_; }

private:
    ChainVerification result_;
    std::multimap<std::int64_t, std::string> logged_;
    std::int64_t expectedSeq_ = 1;
    std::string previousHash_;
};

// Verifies the trail `store` as it streams from the file, against `anchors` and the entries
// `log` holds for the trail. Raises AuditError.
ChainVerification VerifyTrail(const AuditStore& store, std::vector<ChainAnchor> anchors,
                              SystemLog& log);

// Verifies `events` (tests and small callers).
ChainVerification VerifyChain(const std::vector<EventRecord>& events,
                              std::int64_t highestNumberGiven);

// The verification as lines of text: "audit: N events, chain intact" with the last number and
// hash, or the first wrong event and every gap; then each reference and the log's verdict.
std::string VerificationText(const ChainVerification& verification);

} // namespace sepmet::audit
