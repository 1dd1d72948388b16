#pragma once
// The order of two cell texts when a grid sorts by a column, by the kind its parent chose.

#include <QString>

namespace sepmet {

namespace GridSortKind {
enum : int {
    None = 0,
    Number = 2, // decimal numbers with the comma; a text that is not a number reads as 0
    Date = 3,   // dates and times in the user's locale; a text that is not one compares equal
    // any other non-zero value: text, case-insensitive with Cyrillic folding
};
}

// Whether `a` goes before `b` in an ascending sort of that kind.
bool CellLess(int kind, const QString& a, const QString& b);

} // namespace sepmet
