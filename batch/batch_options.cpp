#include "batch/batch_options.h"

#include "platform/utf.h"
#include "session/condition_text.h"

namespace sepmet::batch {
namespace {

struct ConditionOption {
    const char* name;
    double MeasurementSettings::*field;
};

constexpr ConditionOption kConditions[] = {
    {"--vW", &MeasurementSettings::vW},     {"--vG", &MeasurementSettings::vG},
    {"--rhoG", &MeasurementSettings::rhoG}, {"--atmP", &MeasurementSettings::atmP},
    {"--gasT", &MeasurementSettings::gasT},
};

struct CommandOption {
    const char* name;
    Command::Kind kind;
    bool takesIds;
};

constexpr CommandOption kCommands[] = {
    {"--add", Command::Kind::Add, true},      {"--remove", Command::Kind::Remove, true},
    {"--clear", Command::Kind::Clear, false}, {"--reload", Command::Kind::Reload, false},
    {"--apply", Command::Kind::Apply, false},
};

std::string BatchOptions::*OutputOption(const std::string& arg) {
    if (arg == "--report")
        return &BatchOptions::reportPath;
    if (arg == "--template")
        return &BatchOptions::templatePath;
    if (arg == "--xml")
        return &BatchOptions::xmlPath;
    if (arg == "--audit")
        return &BatchOptions::auditPath;
    return nullptr;
}

} // namespace

std::optional<BatchOptions> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    BatchOptions options;
    bool haveDatabase = false;
    auto value = [&](std::size_t& i) -> const std::string* {
        if (i + 1 >= args.size()) {
            error = args[i] + " needs a value";
            return nullptr;
        }
        return &args[++i];
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h" || arg == "--version") {
            // Answered when reached, whatever follows; a mistake before it is still reported.
            BatchOptions request;
            request.action = arg == "--version" ? BatchOptions::Action::ShowVersion
                                                : BatchOptions::Action::ShowUsage;
            return request;
        }
        if (arg == "--verify-audit") {
            const std::string* path = value(i);
            if (!path)
                return std::nullopt;
            if (args.size() != 2) {
                error = "--verify-audit FILE runs alone";
                return std::nullopt;
            }
            options.action = BatchOptions::Action::VerifyAudit;
            options.auditPath = *path;
            return options;
        }
        if (arg == "--db") {
            const std::string* path = value(i);
            if (!path)
                return std::nullopt;
            options.database = *path;
            haveDatabase = true;
            continue;
        }
        if (arg == "--json") {
            options.json = true;
            continue;
        }
        if (std::string BatchOptions::*output = OutputOption(arg)) {
            const std::string* path = value(i);
            if (!path)
                return std::nullopt;
            if (path->empty()) {
                error = arg + " needs a file name";
                return std::nullopt;
            }
            options.*output = *path;
            continue;
        }
        bool matched = false;
        for (const ConditionOption& c : kConditions) {
            if (arg != c.name)
                continue;
            const std::string* text = value(i);
            if (!text)
                return std::nullopt;
            // The settings dialog's rules: one finite number, a decimal point or comma.
            std::optional<double> number = ParseConditionText(FromUtf8(*text));
            if (!number) {
                error = arg + ": \"" + *text + "\" is not a number";
                return std::nullopt;
            }
            options.settings.*c.field = *number;
            matched = true;
        }
        for (const CommandOption& c : kCommands) {
            if (matched || arg != c.name)
                continue;
            Command command{c.kind, arg, {}, {}};
            if (c.takesIds) {
                const std::string* text = value(i);
                if (!text)
                    return std::nullopt;
                std::optional<IdList> ids = IdList::Parse(*text, error);
                if (!ids) {
                    error = arg + ": " + error;
                    return std::nullopt;
                }
                if (c.kind == Command::Kind::Add && ids->Size() > kMaxIdentifiersPerAdd) {
                    error = arg + ": at most " + std::to_string(kMaxIdentifiersPerAdd) +
                            " identifiers at a time, as the chromatogram picker delivers";
                    return std::nullopt;
                }
                command.argument = *text;
                command.ids = *ids;
            }
            options.commands.push_back(std::move(command));
            matched = true;
        }
        if (!matched) {
            error = "unknown option \"" + arg + "\"";
            return std::nullopt;
        }
    }
    if (!haveDatabase) {
        error = "--db FILE is required";
        return std::nullopt;
    }
    if (options.commands.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    if (!options.templatePath.empty() && options.reportPath.empty()) {
        error = "--template goes with --report";
        return std::nullopt;
    }
    return options;
}

const char* UsageText() {
    return "usage: sepmet-batch --db FILE [--vW X] [--vG X] [--rhoG X] [--atmP X] [--gasT X]\n"
           "                    [--json] [--report FILE.html [--template FILE]] [--xml FILE]\n"
           "                    [--audit FILE] COMMAND...\n"
           "       sepmet-batch --verify-audit FILE\n"
           "       sepmet-batch --help | -h | --version\n"
           "  COMMAND: --add IDS | --remove IDS | --clear | --reload | --apply\n"
           "  IDS: comma list of identifiers and ranges, e.g. 1,2,5-14\n"
           "The conditions (defaults 0, 0, 0, 101.325, 20; a decimal point or comma) hold from\n"
           "the start. Each command runs as the window's command, then the recalculation;\n"
           "an identifier that names no chromatogram is reported on standard error.\n"
           "--report writes the HTML report of the state after the last command (template:\n"
           "Orvane4/Templates/sepmet/Report.xsl in $XDG_DATA_DIRS, or --template); --xml writes\n"
           "the report document. Exit status: 0 ran, 2 bad usage, 3 database unusable,\n"
           "4 a report or document could not be written.\n"
           "--audit records every recalculation and the report in the audit trail FILE (notes\n"
           "on standard error; a trail that cannot be written never stops the run).\n"
           "--verify-audit checks the chain of FILE: exit 0 intact, 1 broken, 3 unreadable.\n";
}

std::string VersionText() {
    return std::string("sepmet-batch ") + SEPMET_VERSION;
}

} // namespace sepmet::batch
