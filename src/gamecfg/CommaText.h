#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kw {

// A list of names kept in one game value, such as the cartridges a weapon fires.
//
// Reading: commas and blanks (any byte of code 32 or below) both separate items, blanks around items are
// skipped; an item in double quotes may hold blanks and commas, a doubled quote inside standing for one.
// Two commas in a row, or a comma at either end, give an empty item.
std::vector<std::string> ReadCommaText(std::string_view text);

// Writing: the items joined by "," without blanks; an item holding a byte of code 32 or below, a double
// quote or a comma is quoted, its quotes doubled. A lone empty item is written as "" so that it reads back.
std::string WriteCommaText(const std::vector<std::string>& items);

} // namespace kw
