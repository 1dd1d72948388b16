#include "batch/batch_session.h"

namespace sepmet::batch {

BatchSession::BatchSession(CalculationState& state, const MeasurementSettings& settings,
                           SessionListener* listener)
    : session_(state) {
    session_.SetListener(listener);
    session_.Open(settings);
}

CommandResult BatchSession::Run(const Command& command) {
    CommandResult result;
    switch (command.kind) {
    case Command::Kind::Add:
        result = session_.AddAssays(command.ids.Expand());
        break;
    case Command::Kind::Remove: {
        // The rows of those identifiers selected.
        std::vector<std::size_t> rows;
        for (std::size_t i = 0; i < session_.Assays().Count(); ++i)
            if (command.ids.Contains(session_.Assays()[i].id))
                rows.push_back(i);
        result = session_.RemovePositions(rows);
        break;
    }
    case Command::Kind::Clear:
        result = session_.RemoveAll();
        break;
    case Command::Kind::Reload:
        result = session_.Reload();
        break;
    case Command::Kind::Apply:
        // The settings dialog ended with OK: the conditions stand as given.
        result = session_.ApplySettings(session_.State().settings);
        break;
    }
    unloaded_.clear();
    for (std::int32_t id : result.notFound)
        unloaded_.push_back({id});
    return result;
}

} // namespace sepmet::batch
