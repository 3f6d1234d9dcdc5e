#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kw {

// Numbers in the grids are text in the notation of the game files: "." whatever the locale. These helpers
// never consult the locale.

// The value of a plain decimal: an optional sign, digits, at most one ".", and 1 to 15 significant digits
// (the most a double holds exactly as text). Anything else, exponents and blanks included, is not plain.
std::optional<double> ParsePlainDecimal(std::string_view text);

// The value of any decimal or exponent notation from_chars accepts, the whole text; for comparing.
std::optional<double> ParseNumber(std::string_view text);

// The number with 15 significant digits, "." as separator, trailing zeros dropped, and an exponent only
// for magnitudes below 1e-4 or from 1e15 on. Negative zero reads "0".
std::string NumberText(double value);

} // namespace kw
