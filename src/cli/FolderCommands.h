#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kw {

// "dump", "resave" and "check": the commands that take one game folder and nothing else.

// The tool's command line without the program name; returns the exit code
// (0 done, 1 the game folder could not be loaded or saved, 2 wrong usage).
int RunHeadlessTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kw
