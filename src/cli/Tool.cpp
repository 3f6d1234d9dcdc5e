#include "cli/Tool.h"

#include "cli/DiffCommand.h"
#include "cli/FolderCommands.h"
#include "cli/InterchangeCommands.h"
#include "cli/ToolCommands.h"

#include "Version.h"

#include <ostream>

namespace kw {
namespace {

// A family of commands knows its own names and reads the whole command line.
struct TCommandFamily {
    bool (*Owns)(const std::string& command);
    int (*Run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

constexpr TCommandFamily kFamilies[] = {
    {IsFolderCommand, RunFolderCommand},
    {IsInterchangeCommand, RunInterchangeCommand},
    {IsDiffCommand, RunDiffCommand},
};

} // namespace

int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        return UsageError("no command given", err);
    }
    if (args.size() == 1 && args[0] == "--version") {
        out << kVersionLine << '\n';
        return kExitOk;
    }
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kToolUsage;
        return kExitOk;
    }
    for (const TCommandFamily& family : kFamilies) {
        if (family.Owns(args[0])) {
            return family.Run(args, out, err);
        }
    }
    return UsageError("unknown command or option \"" + args[0] + "\"", err);
}

} // namespace kw
