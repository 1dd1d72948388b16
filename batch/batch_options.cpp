#include "batch/batch_options.h"

#include <charconv>

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

} // namespace

std::optional<double> ParseConditionValue(const std::string& text) {
    std::string s = text;
    for (char& c : s)
        if (c == ',')
            c = '.';
    double value = 0;
    const char* begin = s.data();
    const char* end = s.data() + s.size();
    if (begin != end && *begin == '+')
        ++begin;
    auto [stop, ec] = std::from_chars(begin, end, value);
    if (s.empty() || ec != std::errc{} || stop != end)
        return std::nullopt;
    return value;
}

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
        bool matched = false;
        for (const ConditionOption& c : kConditions) {
            if (arg != c.name)
                continue;
            const std::string* text = value(i);
            if (!text)
                return std::nullopt;
            std::optional<double> number = ParseConditionValue(*text);
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
    return options;
}

const char* UsageText() {
    return "usage: sepmet-batch --db FILE [--vW X] [--vG X] [--rhoG X] [--atmP X] [--gasT X]\n"
           "                    [--json] COMMAND...\n"
           "  COMMAND: --add IDS | --remove IDS | --clear | --reload | --apply\n"
           "  IDS: comma list of identifiers and ranges, e.g. 1,2,5-14\n"
           "The conditions (defaults 0, 0, 0, 101.325, 20; a decimal point or comma) hold from\n"
           "the start. Each command runs as the window's command, then the recalculation.\n";
}

} // namespace sepmet::batch
