#pragma once

#include <string_view>

namespace kw {

// A number as the game files write one: an optional sign, digits with at most one "." (".2", "-0.3" and
// "4." included), and an optional trailing "f" as in "4.5f". Blanks, exponents, commas and anything else
// are not of this form, nor is a sign or a "." without a digit.
bool IsGameNumber(std::string_view text);

} // namespace kw
