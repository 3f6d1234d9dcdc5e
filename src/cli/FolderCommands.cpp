#include "cli/FolderCommands.h"

#include "catalog/Dump.h"
#include "cli/ToolCommands.h"

#include <map>
#include <ostream>
#include <utility>

namespace kw {
namespace {

void PrintCatalogSizes(const TCatalog& catalog, std::ostream& out) {
    const std::pair<const char*, std::size_t> sizes[] = {
        {"weapons", catalog.Weapons.size()},
        {"ammo", catalog.Ammo.size()},
        {"outfits", catalog.Outfits.size()},
        {"arts", catalog.Arts.size()},
        {"items", catalog.Items.size()},
        {"weather", catalog.Weather.size()},
        {"silencer", catalog.Silencer ? 1u : 0u},
        {"scopes", catalog.Scopes.size()},
        {"grenade_launchers", catalog.GrenLnchs.size()},
    };
    for (const auto& [name, size] : sizes) {
        out << name << '\t' << size << '\n';
    }
}

using TCommand = int (*)(TDocument& game, std::ostream& out);

int Dump(TDocument& game, std::ostream& out) {
    DumpCatalog(game.Catalog(), out);
    return kExitOk;
}

int Resave(TDocument& game, std::ostream& out) {
    return PrintSaveReport(game.Save(), out);
}

int Check(TDocument& game, std::ostream& out) {
    PrintCatalogSizes(game.Catalog(), out);
    return kExitOk;
}

const std::map<std::string, TCommand> kCommands = {{"dump", Dump}, {"resave", Resave}, {"check", Check}};

// The values the game reads; the parents it cannot follow are named on err, once each.
int DumpEffective(const std::string& gameFolder, std::ostream& out, std::ostream& err) {
    return RunOnGameFolder(gameFolder, false, out, err, [&](TDocument& game) {
        for (const TParentProblem& problem : game.Catalog().Inheritance().Problems()) {
            err << ParentProblemText(problem) << '\n';
        }
        DumpCatalog(game.Catalog(), out, TDumpValues::Effective);
        return kExitOk;
    });
}

int RunOnGame(const std::string& command, const std::string& gameFolder, std::ostream& out,
              std::ostream& err) {
    // For "check" the missing files are the answer, not a failure to report.
    return RunOnGameFolder(gameFolder, command == "check", out, err,
                           [&](TDocument& game) { return kCommands.at(command)(game, out); });
}

} // namespace

bool IsFolderCommand(const std::string& command) {
    return kCommands.contains(command);
}

int RunFolderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args[0] == "dump" && args.size() == 3 && (args[1] == "--effective" || args[2] == "--effective")) {
        return DumpEffective(args[1] == "--effective" ? args[2] : args[1], out, err);
    }
    if (args.size() != 2) {
        return UsageError("\"" + args[0] + "\" takes exactly one game folder", err);
    }
    return RunOnGame(args[0], args[1], out, err);
}

} // namespace kw
