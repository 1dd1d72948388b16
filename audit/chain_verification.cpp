#include "audit/chain_verification.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace sepmet::audit {

std::optional<ChainAnchor> ParseChainAnchor(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0)
        return std::nullopt;
    ChainAnchor anchor;
    const char* end = text.data() + colon;
    auto [stop, ec] = std::from_chars(text.data(), end, anchor.seq);
    if (ec != std::errc{} || stop != end || anchor.seq < 1)
        return std::nullopt;
    anchor.hashPrefix = text.substr(colon + 1);
    if (anchor.hashPrefix.size() < 16 || anchor.hashPrefix.size() > 64)
        return std::nullopt;
    for (char& c : anchor.hashPrefix) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return anchor;
}

bool ChainVerification::Intact() const {
    return !firstBroken && gaps.empty() && contradictions.empty() &&
           std::all_of(anchors.begin(), anchors.end(),
                       [](const AnchorCheck& check) { return check.Matches(); });
}

ChainVerifier::ChainVerifier(std::vector<ChainAnchor> anchors,
                             std::multimap<std::int64_t, std::string> logged)
    : logged_(std::move(logged)) {
    for (ChainAnchor& anchor : anchors)
        result_.anchors.push_back({std::move(anchor), std::nullopt});
    result_.logEntries = static_cast<std::int64_t>(logged_.size());
}

void ChainVerifier::Add(const EventRecord& event) {
    ++result_.events;
    if (event.seq > expectedSeq_)
        result_.gaps.push_back({expectedSeq_, event.seq - 1});
    expectedSeq_ = event.seq + 1;
    if (!result_.firstBroken) {
        const bool hashWrong = EventHash(event) != event.hash;
        const bool linkWrong = event.prev != previousHash_;
        if (hashWrong || linkWrong) {
            result_.firstBroken = event.seq;
            result_.hashWrong = hashWrong;
            result_.linkWrong = linkWrong;
        }
    }
    for (ChainVerification::AnchorCheck& check : result_.anchors)
        if (check.anchor.seq == event.seq)
            check.found = event.hash;
    const auto [first, last] = logged_.equal_range(event.seq);
    for (auto logged = first; logged != last; ++logged) {
        if (logged->second == event.hash)
            ++result_.logAgreeing;
        else
            result_.contradictions.push_back({event.seq, logged->second, event.hash});
    }
    logged_.erase(first, last);
    previousHash_ = event.hash;
    result_.lastSeq = event.seq;
    result_.lastHash = event.hash;
}

ChainVerification ChainVerifier::Finish(std::int64_t highestNumberGiven) {
    if (highestNumberGiven >= expectedSeq_)
        result_.gaps.push_back({expectedSeq_, highestNumberGiven});
    // What the log holds and the trail does not: deleted, truncated or an older copy.
    for (const auto& [seq, hash] : logged_)
        result_.contradictions.push_back({seq, hash, {}});
    logged_.clear();
    std::sort(result_.contradictions.begin(), result_.contradictions.end(),
              [](const auto& a, const auto& b) { return a.seq < b.seq; });
    return result_;
}

ChainVerification VerifyTrail(const AuditStore& store, std::vector<ChainAnchor> anchors,
                              SystemLog& log) {
    std::multimap<std::int64_t, std::string> logged;
    bool logRead = false;
    std::string logReason;
    if (!store.TrailId().empty()) {
        if (auto entries = log.Read(store.TrailId(), logReason)) {
            logRead = true;
            for (SystemLogEntry& entry : *entries)
                logged.emplace(entry.seq, std::move(entry.hash));
        }
    }
    ChainVerifier verifier(std::move(anchors), std::move(logged));
    verifier.Result().logConsulted = true;
    verifier.Result().trailId = store.TrailId();
    verifier.Result().logRead = logRead;
    verifier.Result().logReason = logReason;
    store.ForEachEvent([&](const EventRecord& event) { verifier.Add(event); });
    return verifier.Finish(store.HighestNumberGiven());
}

ChainVerification VerifyChain(const std::vector<EventRecord>& events,
                              std::int64_t highestNumberGiven) {
    ChainVerifier verifier;
    for (const EventRecord& event : events)
        verifier.Add(event);
    return verifier.Finish(highestNumberGiven);
}

std::string VerificationText(const ChainVerification& v) {
    std::string out = "audit: " + std::to_string(v.events) +
                      (v.events == 1 ? " event, chain " : " events, chain ") +
                      (v.Intact() ? "intact" : "broken") + "\n";
    if (v.events > 0 && !v.firstBroken && v.gaps.empty())
        out += "last seq " + std::to_string(v.lastSeq) + ", hash " + v.lastHash + "\n";
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
    for (const ChainVerification::AnchorCheck& check : v.anchors) {
        out += "expected seq " + std::to_string(check.anchor.seq) + ", hash " +
               check.anchor.hashPrefix + ": ";
        if (!check.found)
            out += "no such event in the trail\n";
        else if (check.Matches())
            out += "matches\n";
        else
            out += "does not match (the trail holds " + *check.found + ")\n";
    }
    if (!v.logConsulted)
        return out;
    if (v.trailId.empty()) {
        out += "system log: the trail has no identifier yet; not compared\n";
    } else if (!v.logRead) {
        out += "system log: cannot be read (" + v.logReason + "); not compared\n";
    } else {
        out += "system log: " + std::to_string(v.logEntries) + " entries of trail " + v.trailId +
               ", " + std::to_string(v.logAgreeing) + " agree\n";
        for (const ChainVerification::Contradiction& c : v.contradictions) {
            out +=
                "system log contradicts seq " + std::to_string(c.seq) + ": logged hash " + c.logged;
            out += c.inTrail.empty() ? ", the trail has no such event\n"
                                     : ", the trail holds " + c.inTrail + "\n";
        }
    }
    return out;
}

} // namespace sepmet::audit
