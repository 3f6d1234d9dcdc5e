#pragma once

#include "interchange/Sheet.h"

#include <string>

namespace kw {

// The text an import makes of a sheet cell read over a grid cell that shows current; row and column are the
// sheet cell's, zero-based, for the refusal.
//
// A number becomes its plain text (NumberText), except that a cell whose text already stands for the same
// number keeps its text, so that an export followed by an import marks nothing; booleans become "true" and
// "false" where the grid holds text. A CSV number keeps the grid's notation the same way.
//
// Throws kw::Error naming the sheet cell ("C4") for a cell whose text the game would read otherwise than the
// sheet shows it:
// - a ";" anywhere (the game reads the rest of the line as a comment), a spreadsheet error value, a date or
//   a time, a value longer than kMaxValueBytes (GridTable.h) in the game's code page;
// - where the grid holds a number (IsGameNumber): a boolean, or a text that is not a number of the game's
//   form: percentages, digit groups, exponents; a decimal comma reads as a point in LocaleText only;
// - a number whose plain form is too long (1e21);
// - an .xls cell that read as empty where the grid holds a text.
std::string ImportedCellText(const TSheetCell& cell, const std::string& current, TSheetOrigin origin, int row,
                             int column);

} // namespace kw
