#pragma once
// Verification of the audit chain: every event's hash recomputed from its fields, every link to
// the event before, and every number from 1 to the highest the store ever gave.

#include "audit/audit_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sepmet::audit {

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

    bool Intact() const { return !firstBroken && gaps.empty(); }
};

// `events` in the order of their numbers; `highestNumberGiven` reveals events deleted at the end.
ChainVerification VerifyChain(const std::vector<EventRecord>& events,
                              std::int64_t highestNumberGiven);

// The verification as lines of text: "audit: N events, chain intact" with the last number and
// hash, or the first wrong event and every gap.
std::string VerificationText(const ChainVerification& verification);

} // namespace sepmet::audit
