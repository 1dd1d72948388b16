#pragma once
// What sepmet-batch prints: the pages as the window shows them, or one JSON line per command.

#include <string>

namespace sepmet::batch {

class BatchSession;
struct Command;

// The "Градуировка" and "Расчет" pages (titles, then rows, cells separated by tabs) and the
// "Сист. сообщения" page, in UTF-8.
std::string PagesText(const BatchSession& session);

// One JSON object on one line: the state after `command`.
std::string JsonLine(const Command& command, const BatchSession& session);

} // namespace sepmet::batch
