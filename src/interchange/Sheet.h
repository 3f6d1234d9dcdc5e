#pragma once

#include <string>
#include <vector>

namespace kw {

struct TSheetCell { enum class TKind { Empty, String, Number, Bool }; TKind Kind = TKind::Empty; std::string Text; double Number = 0; bool Bool = false; };
struct TSheet { std::string Name; int Rows = 0; int Columns = 0; std::vector<std::vector<TSheetCell>> Cells; }; // row-major, UTF-8, Cells[r][c]

} // namespace kw
