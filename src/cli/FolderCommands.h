#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kw {

// "dump", "resave" and "check": the commands that take one game folder and nothing else ("dump" also
// "--effective", before or after it).
bool IsFolderCommand(const std::string& command);

// args as for RunTool, beginning with "dump", "resave" or "check", then the game folder; returns the exit
// code (0 done, 1 the game folder could not be loaded or saved, 2 wrong usage).
int RunFolderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kw
