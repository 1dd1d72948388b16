// The sepmet-batch command line: the input split at NUL bytes into arguments. Parsing either
// refuses with a reason or gives options whose conditions are finite numbers.

#include "batch/batch_options.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back().push_back(static_cast<char>(data[i]));
    }
    std::string error;
    const std::optional<sepmet::batch::BatchOptions> options =
        sepmet::batch::ParseOptions(args, error);
    if (!options) {
        if (error.empty())
            std::abort();
        return 0;
    }
    const sepmet::MeasurementSettings& s = options->settings;
    for (double value : {s.vW, s.vG, s.rhoG, s.atmP, s.gasT})
        if (!std::isfinite(value))
            std::abort();
    for (const sepmet::batch::Command& command : options->commands)
        if (command.ids.Size() > 0 && command.kind == sepmet::batch::Command::Kind::Add &&
            command.ids.Size() > sepmet::batch::kMaxIdentifiersPerAdd)
            std::abort();
    return 0;
}
