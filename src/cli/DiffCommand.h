#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kw {

// "diff": what one game folder changes against another, field by field, without the comments and layout
// that a textual comparison of the files buries it under.
bool IsDiffCommand(const std::string& command);

// args as for RunHeadlessTool, beginning with "diff"; 0 no difference, 1 a difference, 2 wrong usage or a
// folder that could not be loaded.
int RunDiffCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kw
