#pragma once
// Command-line programs: their arguments in UTF-8 and standard output written byte for byte.

#include <string>
#include <vector>

namespace sepmet {

// The arguments after the program name, UTF-8 on every system (on Windows taken from the
// wide command line, not from the ANSI code page's argv).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// On Windows puts standard output and standard error in binary mode, so lines end in "\n" as on
// Linux and UTF-8 text is passed through unchanged; nothing elsewhere.
void UseBinaryStandardStreams();

} // namespace sepmet
