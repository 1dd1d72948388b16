// The audit verifier over mutated trails: a valid trail of a few events is written once; each
// input patches bytes of its file (three bytes a patch: offset high, offset low, value) and ends
// with the text of a reference ("SEQ:HASH") after a NUL. The verifier must answer every file with
// a verdict or AuditError, never a crash, a hang or a read out of bounds.

#include "audit/audit_store.h"
#include "audit/chain_verification.h"
#include "platform/system_log.h"
#include "tests/audit/audit_test_support.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace sepmet;
using namespace sepmet::audit;

struct Seed {
    std::string image;
    std::string path;
    audit::testing::FakeSystemLog log; // what the valid trail recorded
};

Seed& TheSeed() {
    static Seed* seed = [] {
        auto* s = new Seed;
        const std::string folder = "/tmp/sepmet-fuzz-audit-" + std::to_string(::getpid());
        ::mkdir(folder.c_str(), 0700);
        const std::string original = folder + "/seed.sqlite";
        {
            AuditStore store = AuditStore::OpenForAppend(original);
            for (int i = 1; i <= 6; ++i) {
                const AppendedEvent e = store.Append(i % 3 ? "recalculation" : "report",
                                                     "{\"n\":" + std::to_string(i) + "}");
                s->log.Record({store.TrailId(), e.event.seq, e.event.hash, original});
            }
        } // closed: the WAL is folded into the one file
        {
            std::ifstream in(original, std::ios::binary);
            s->image.assign(std::istreambuf_iterator<char>(in), {});
        }
        s->path = folder + "/mutated.sqlite";
        return s;
    }();
    return *seed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Seed& seed = TheSeed();
    std::string image = seed.image;
    std::size_t i = 0;
    for (; i + 3 <= size && data[i] != 0; i += 3) {
        const std::size_t offset = (static_cast<std::size_t>(data[i]) << 8 | data[i + 1]);
        if (!image.empty())
            image[offset % image.size()] = static_cast<char>(data[i + 2]);
    }
    std::vector<ChainAnchor> anchors;
    if (i < size) {
        const std::string text(reinterpret_cast<const char*>(data) + i + 1,
                               size - std::min(size, i + 1));
        if (std::optional<ChainAnchor> anchor = ParseChainAnchor(text))
            anchors.push_back(*anchor);
    }
    {
        std::ofstream out(seed.path, std::ios::binary | std::ios::trunc);
        out.write(image.data(), static_cast<std::streamsize>(image.size()));
    }
    try {
        const AuditStore store = AuditStore::OpenReadOnly(seed.path);
        const ChainVerification v = VerifyTrail(store, anchors, seed.log);
        (void)VerificationText(v);
    } catch (const AuditError&) {
    }
    return 0;
}
