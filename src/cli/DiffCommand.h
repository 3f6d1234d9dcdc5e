#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace kw {

// "diff": what one game folder changes against another, field by field, without the comments and layout
// that a textual comparison of the files buries it under.
bool IsDiffCommand(const std::string& command);

// How two values of one field are compared. Game files space the items of a list as their authors typed
// them ("0.0, 0.0" or "0.0,    0.0"), which the game does not see; Exact compares them byte for byte.
enum class TDiffComparison { IgnoreListBlanks, Exact };

// Whether a diff takes two values (UTF-8, as dump prints them) for the same: with IgnoreListBlanks, blanks
// and TABs next to a comma do not count; blanks anywhere else do.
bool SameDiffValue(std::string_view a, std::string_view b, TDiffComparison comparison);

// args as for RunTool, beginning with "diff", then two folders and "--exact" anywhere after "diff";
// 0 no difference, 1 a difference, 2 wrong usage or a folder that could not be loaded.
int RunDiffCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kw
