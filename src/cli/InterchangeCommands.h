#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kw {

// "export" and "import": the table view's grids written to and read from workbooks without the GUI.
bool IsInterchangeCommand(const std::string& command);

// args as for RunTool, beginning with "export" or "import"; returns the exit code.
int RunInterchangeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kw
