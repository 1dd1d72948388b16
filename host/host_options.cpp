#include "host/host_options.h"

namespace sepmet::host {

HostOptions ParseHostOptions(const std::vector<std::string>& arguments) {
    HostOptions options;
    if (!arguments.empty())
        options.passOn.push_back(arguments.front());
    struct Valued {
        const char* name;
        std::optional<std::string> HostOptions::*field;
    };
    const Valued valued[] = {{"--db", &HostOptions::database},
                             {"--profile", &HostOptions::profile},
                             {"--plugins", &HostOptions::plugins},
                             {"--open", &HostOptions::open}};
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
            continue;
        }
        if (argument == "--version") {
            options.version = true;
            continue;
        }
        if (argument == "--demo") {
            options.demo = true;
            continue;
        }
        bool matched = false;
        for (const Valued& option : valued) {
            const std::string name = option.name;
            if (argument == name) {
                if (i + 1 >= arguments.size()) {
                    options.error = name + " needs a value";
                    return options;
                }
                options.*option.field = arguments[++i];
                matched = true;
            } else if (argument.rfind(name + "=", 0) == 0) {
                options.*option.field = argument.substr(name.size() + 1);
                matched = true;
            }
            if (matched)
                break;
        }
        if (!matched)
            options.passOn.push_back(argument);
    }
    if (options.demo && options.database)
        options.error = "--demo and --db name two databases; give one";
    return options;
}

std::string HostUsage() {
    return "Usage: sepmet-host [--db FILE] [--profile FILE] [--plugins DIR] [--open MENU-PATH]"
           " [--demo] [Qt options]\n"
           "The chromatography data system host: loads the plug-ins, offers them the menu, the\n"
           "chromatogram picker and viewer, the profile store and the analysis database.\n"
           "\n"
           "  --db FILE          the analysis database (SQLite, tables assay and peak);\n"
           "                     default: the one opened last, else a file dialog asks\n"
           "  --profile FILE     the profile store; default "
           "$XDG_CONFIG_HOME/sepmet/profile.sqlite\n"
           "  --plugins DIR      the plug-in folder; default ../lib/sepmet/plugins beside the\n"
           "                     executable (in a build tree: the build's plugin folder)\n"
           "  --open MENU-PATH   chooses that menu item once the plug-ins are loaded, e.g.\n"
           "                     \"Данные/Расчёты/Метанол в газе сепарации\"\n"
           "  --demo             opens the demo database $XDG_DATA_HOME/sepmet/demo.sqlite,\n"
           "                     writing it first when missing\n"
           "  -h, --help         prints this text\n"
           "  --version          prints the version\n"
           "Qt's own options (-platform, -style, -geometry, ...) are passed on.\n";
}

} // namespace sepmet::host
