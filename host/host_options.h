#pragma once
// The host's command line: sepmet-host [--db FILE] [--profile FILE] [--plugins DIR]
// [--open MENU-PATH] [--demo], plus the window system's own options, which are passed on.
// Read before any window-system object exists, so --help and --version need no display.

#include <optional>
#include <string>
#include <vector>

namespace sepmet::host {

struct HostOptions {
    std::optional<std::string> database; // --db
    std::optional<std::string> profile;  // --profile
    std::optional<std::string> plugins;  // --plugins
    std::optional<std::string> open; // --open: a menu path, e.g. "Данные/Расчёты/…"
    bool demo = false;               // --demo
    bool help = false;               // --help, -h
    bool version = false;            // --version
    std::string error;               // non-empty: the command line is wrong
    // argv[0] and every argument that is not the host's own, for the window system.
    std::vector<std::string> passOn;
};

HostOptions ParseHostOptions(const std::vector<std::string>& arguments);

// The text of --help.
std::string HostUsage();

} // namespace sepmet::host
