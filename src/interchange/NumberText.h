#pragma once

#include "gamecfg/NumberForm.h"

#include <optional>
#include <string>
#include <string_view>

namespace kw {

// Numbers in the grids are text in the notation of the game files: "." whatever the locale. These helpers
// never consult the locale.

// The value of a plain decimal: an optional sign, digits, at most one ".", and 1 to 15 significant digits
// (the most a double holds exactly as text). Anything else, exponents and blanks included, is not plain.
std::optional<double> ParsePlainDecimal(std::string_view text);

// The value of a number in the game's form (IsGameNumber), or nothing.
std::optional<double> ParseGameNumber(std::string_view text);

// The longest plain form a number read from a workbook may take: beyond it lie magnitudes that no game value
// has, and that a spreadsheet produced by mistake.
inline constexpr std::size_t kMaxNumberTextLength = 20;

// The number rounded to 15 significant digits, in plain decimal notation with "." and without trailing
// zeros or an exponent ("0.0000001", not "1e-07"); nothing when that takes more than kMaxNumberTextLength
// characters (1e21, 1e-20). Negative zero reads "0".
std::optional<std::string> NumberText(double value);

} // namespace kw
