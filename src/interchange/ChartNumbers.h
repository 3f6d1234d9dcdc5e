#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace kw {

// What a chart draws for a cell of a grid. A cell holds numbers in the notation of the game files (see
// ParseGameNumber: ".2", "-0.3", "4.5f"), alone or as a list such as a weapon's damage per difficulty,
// "0.3, 0.3,\t0.3, 0.3", whose commas may have blanks and TABs on either side. Nothing else counts: empty
// text, words, exponents, and a list with one element that is no number are left out of a chart.

// The numbers of the cell in their order; nothing when the text is not a number or a list of them.
std::optional<std::vector<double>> CellNumbers(std::string_view text);

// Which number of a list a chart draws: the element at a 0-based position, or the average of them all.
inline constexpr int kAverageElement = -1;

// The number of numbers, element of a list or kAverageElement. A lone number stands for every element, as
// the game reads one value for every difficulty. Nothing when the cell holds no number or the list is
// shorter than element.
std::optional<double> PickNumber(const std::vector<double>& numbers, int element);
std::optional<double> ChartNumber(std::string_view text, int element);

} // namespace kw
