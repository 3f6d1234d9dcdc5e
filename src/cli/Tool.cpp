#include "cli/Tool.h"

#include "cli/DiffCommand.h"
#include "cli/FolderCommands.h"
#include "cli/InterchangeCommands.h"
#include "cli/ToolCommands.h"

#include "Version.h"

#include <ostream>

namespace kw {

int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && args[0] == "--version") {
        out << kVersionLine << '\n';
        return kExitOk;
    }
    if (!args.empty() && IsInterchangeCommand(args[0])) {
        return RunInterchangeCommand(args, out, err);
    }
    if (!args.empty() && IsDiffCommand(args[0])) {
        return RunDiffCommand(args, out, err);
    }
    return RunHeadlessTool(args, out, err);
}

} // namespace kw
