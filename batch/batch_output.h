#pragma once
// What sepmet-batch prints: the pages as the window shows them, or one JSON line per command.

#include <string>

namespace sepmet::batch {

class BatchSession;
struct Command;
struct UnloadedAssay;

// The "Градуировка" and "Расчет" pages (titles, then rows, cells separated by tabs) and the
// "Сист. сообщения" page, in UTF-8.
std::string PagesText(const BatchSession& session);

// The line for standard error about an identifier that added no chromatogram, e.g.
// "sepmet-batch: no chromatogram 99999 in the database".
std::string UnloadedAssayText(const UnloadedAssay& unloaded);

// One JSON object on one line: the state after `command`.
std::string JsonLine(const Command& command, const BatchSession& session);

} // namespace sepmet::batch
