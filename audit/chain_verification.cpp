#include "audit/chain_verification.h"

namespace sepmet::audit {

ChainVerification VerifyChain(const std::vector<EventRecord>& events,
                              std::int64_t highestNumberGiven) {
    ChainVerification result;
    result.events = static_cast<std::int64_t>(events.size());
    std::int64_t expectedSeq = 1;
    const EventRecord* previous = nullptr;
    for (const EventRecord& event : events) {
        if (event.seq > expectedSeq)
            result.gaps.push_back({expectedSeq, event.seq - 1});
        expectedSeq = event.seq + 1;
        if (!result.firstBroken) {
            const bool hashWrong = EventHash(event) != event.hash;
            const bool linkWrong = event.prev != (previous ? previous->hash : std::string());
            if (hashWrong || linkWrong) {
                result.firstBroken = event.seq;
                result.hashWrong = hashWrong;
                result.linkWrong = linkWrong;
            }
        }
        previous = &event;
    }
    if (previous) {
        result.lastSeq = previous->seq;
        result.lastHash = previous->hash;
    }
    if (highestNumberGiven >= expectedSeq)
        result.gaps.push_back({expectedSeq, highestNumberGiven});
    return result;
}

std::string VerificationText(const ChainVerification& v) {
    std::string out = "audit: " + std::to_string(v.events) +
                      (v.events == 1 ? " event, chain " : " events, chain ") +
                      (v.Intact() ? "intact" : "broken") + "\n";
    if (v.Intact()) {
        if (v.events > 0)
            out += "last seq " + std::to_string(v.lastSeq) + ", hash " + v.lastHash + "\n";
        return out;
    }
    if (v.firstBroken) {
        out += "first wrong event: seq " + std::to_string(*v.firstBroken) + " (";
        if (v.hashWrong)
            out += "its hash does not match its contents";
        if (v.hashWrong && v.linkWrong)
            out += "; ";
        if (v.linkWrong)
            out += "its prev is not the hash of the event before it";
        out += ")\n";
    }
    for (const ChainVerification::Gap& gap : v.gaps) {
        out += "gap: seq " + std::to_string(gap.from);
        if (gap.to != gap.from)
            out += "-" + std::to_string(gap.to);
        out += gap.from > v.lastSeq ? " missing (after the last event)\n" : " missing\n";
    }
    return out;
}

} // namespace sepmet::audit
