// sepmet-batch: the window's commands and recalculation without a display, for automation,
// validation and the demo.

#include "batch/batch_options.h"
#include "batch/batch_output.h"
#include "batch/batch_session.h"
#include "batch/database_check.h"
#include "data/connection.h"

#include <iostream>

namespace {

constexpr int kExitRan = 0;
constexpr int kExitOutput = 1;
constexpr int kExitUsage = 2;
constexpr int kExitDatabase = 3;

} // namespace

int main(int argc, char** argv) {
    using namespace sepmet::batch;
    std::string error;
    const std::optional<BatchOptions> options =
        ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "sepmet-batch: " << error << "\n" << UsageText();
        return kExitUsage;
    }
    if (!CheckDatabase(options->database, error)) {
        std::cerr << "sepmet-batch: cannot use the database " << options->database << ": " << error
                  << "\n";
        return kExitDatabase;
    }

    BatchSession session(sepmet::ProcessCalculationState(), options->settings);
    for (const Command& command : options->commands) {
        try {
            session.Run(command);
        } catch (const DataBase::SqlException& e) {
            std::cerr << "sepmet-batch: " << command.text << ": cannot open the database "
                      << options->database << ": " << e.what() << "\n";
            return kExitDatabase;
        }
        if (options->json)
            std::cout << JsonLine(command, session) << '\n';
    }
    // The state after the last command is complete here; outputs written from it follow.
    if (!options->json)
        std::cout << PagesText(session);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "sepmet-batch: cannot write the output\n";
        return kExitOutput;
    }
    return kExitRan;
}
