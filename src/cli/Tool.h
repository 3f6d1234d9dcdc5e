#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kw {

// kitwright-cli: its command line without the program name; returns the exit code. --help and --version
// answer on out, wrong usage goes to err with exit code 2, every command keeps its own codes.
int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kw
