#include "catalog/Dump.h"
#include "cli/DiffCommand.h"
#include "cli/InterchangeCommands.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && kw::IsInterchangeCommand(args[0])) {
        return kw::RunInterchangeCommand(args, std::cout, std::cerr);
    }
    if (!args.empty() && kw::IsDiffCommand(args[0])) {
        return kw::RunDiffCommand(args, std::cout, std::cerr);
    }
    return kw::RunHeadlessTool(args, std::cout, std::cerr);
}
