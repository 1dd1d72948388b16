#pragma once
// The command line of sepmet-batch, parsed in one place.

#include "batch/id_list.h"
#include "calc/measurement_settings.h"

#include <optional>
#include <string>
#include <vector>

namespace sepmet::batch {

// One of the window's commands, each followed by the recalculation.
struct Command {
    enum class Kind {
        Add,    // "+" answered with `ids`
        Remove, // "-" with the rows of `ids` selected
        Clear,  // "--"
        Reload, // "R"
        Apply,  // settings dialog confirmed with OK
    };
    Kind kind;
    std::string text;     // the option as typed, e.g. "--add"
    std::string argument; // the identifiers as typed, for Add and Remove
    IdList ids;           // for Add and Remove
};

struct BatchOptions {
    // --help / -h and --version answer at once, without a database or a command;
    // --verify-audit FILE runs alone.
    enum class Action { Run, ShowUsage, ShowVersion, VerifyAudit };
    Action action = Action::Run;
    std::string database;
    // The five conditions as the settings dialog would hold them, defaults as in the profile.
    MeasurementSettings settings;
    bool json = false;
    std::vector<Command> commands;
    // Written from the state after the last command; empty when not asked for.
    std::string reportPath;   // --report: the rendered HTML report
    std::string templatePath; // --template: instead of the shared Report.xsl
    std::string xmlPath;      // --xml: the report document as UTF-16LE bytes
    // --audit: the store the run's events are recorded in; --verify-audit: the store to verify.
    std::string auditPath;
};

// The picker of the window delivers at most this many identifiers to one "+".
inline constexpr std::uint64_t kMaxIdentifiersPerAdd = 256;

// The options, or nothing with `error` set to a one-line reason.
std::optional<BatchOptions> ParseOptions(const std::vector<std::string>& args, std::string& error);

const char* UsageText();
// "sepmet-batch" and the program's version, e.g. "sepmet-batch 1.0.2.0".
std::string VersionText();

} // namespace sepmet::batch
