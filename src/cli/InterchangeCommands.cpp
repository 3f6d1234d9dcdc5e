#include "cli/InterchangeCommands.h"

#include "catalog/Dump.h"
#include "catalog/ProtectedFiles.h"
#include "cli/ToolCommands.h"
#include "gamecfg/CodePage.h"
#include "gamecfg/Error.h"
#include "gamecfg/FileSys.h"
#include "interchange/GridTable.h"
#include "interchange/SheetImport.h"
#include "interchange/WorkbookWriter.h"

#include <optional>
#include <ostream>

namespace kw {
namespace {

enum class TRowMatch { Auto, Position, Names };

struct TGridArgs {
    std::string GameFolder;
    const TGridDef* Grid = nullptr;
    std::string File;
    bool IgnoreSize = false;
    bool DryRun = false;
    TRowMatch Match = TRowMatch::Auto;
};

// The options "import" takes; empty text when the option is fine, else the problem.
std::string ParseImportOption(const std::vector<std::string>& args, std::size_t& i, TGridArgs& parsed) {
    if (args[i] == "--ignore-size") {
        parsed.IgnoreSize = true;
    } else if (args[i] == "--dry-run") {
        parsed.DryRun = true;
    } else if (i + 1 >= args.size() || (args[i + 1] != "names" && args[i + 1] != "position")) {
        return "--match takes \"names\" or \"position\"";
    } else {
        parsed.Match = args[++i] == "names" ? TRowMatch::Names : TRowMatch::Position;
    }
    return {};
}

bool IsImportOption(const std::string& arg) {
    return arg == "--ignore-size" || arg == "--dry-run" || arg == "--match";
}

// Empty text when the arguments are fine, else the problem.
std::string ParseGridArgs(const std::vector<std::string>& args, TGridArgs& parsed) {
    std::vector<std::string> positional;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[0] == "import" && IsImportOption(args[i])) {
            if (std::string problem = ParseImportOption(args, i, parsed); !problem.empty()) {
                return problem;
            }
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 3) {
        return "\"" + args[0] + "\" takes a game folder, a catalog and a file";
    }
    parsed.GameFolder = positional[0];
    parsed.Grid = FindGridByCatalog(positional[1].c_str());
    parsed.File = positional[2];
    if (!parsed.Grid) {
        return "unknown catalog \"" + positional[1] + "\" (weapons, ammo, outfits, arts, items or weather)";
    }
    return {};
}

int Export(TDocument& game, const TGridArgs& args, std::ostream& out) {
    if (game.Source() && IsProtectedGameFile(*game.Source(), args.File)) {
        throw Error(fs::Resolve(args.File) + " belongs to the game in " + game.Source()->GamePath +
                    ": an export never writes over a file the game was loaded from or into its gamedata "
                    "folder. Nothing was written.");
    }
    TStringGrid grid(*args.Grid);
    FillTable(grid, game.Catalog());
    if (ExportFormatOf(args.File) == TExportFormat::Csv) {
        WriteCsv(args.File, grid);
    } else {
        WriteWorkbook(args.File, args.Grid->ExportTitle, grid, DefaultLayout(grid));
    }
    out << "Exported " << grid.EntryCount() << " entries to " << fs::Resolve(args.File) << ".\n";
    return kExitOk;
}

// The grid rows the sheet's rows go to, or nothing after a refusal told on err.
std::optional<std::vector<int>> ChooseRows(const TStringGrid& grid, const TSheet& sheet,
                                           const TGridArgs& args, std::ostream& err) {
    const std::string file = fs::Resolve(args.File);
    const TRowPlan plan = PlanRows(grid, sheet);
    const bool byName = args.Match != TRowMatch::Position && plan.Kind == TRowPlan::TKind::Reordered;
    if (args.Match != TRowMatch::Position && plan.Kind == TRowPlan::TKind::Unmatched) {
        err << "kitwright-cli: " << file << ": " << plan.Problem
            << " Nothing was imported; --match position imports the rows by position anyway.\n";
        return std::nullopt;
    }
    if (byName && args.Match != TRowMatch::Names) {
        err << "kitwright-cli: the rows of " << file << " are not those of the " << args.Grid->CatalogName
            << " grid in its order (the sheet was sorted or filtered). Nothing was imported; --match names "
               "matches them by name.\n";
        return std::nullopt;
    }
    if ((byName ? SheetColumnsMatch(grid, sheet) : SheetSizeMatches(grid, sheet)) || args.IgnoreSize) {
        return byName ? plan.SheetRows : RowsByPosition(grid);
    }
    err << "kitwright-cli: the sheet in " << file << " has ";
    if (!byName) {
        err << sheet.Rows << " rows and ";
    }
    err << sheet.Columns << " columns, the " << args.Grid->CatalogName << " grid ";
    if (!byName) {
        err << grid.SheetRows() << " rows and ";
    }
    err << grid.ColumnCount() << " columns, header and names included. Nothing was imported; --ignore-size "
        << "imports it anyway.\n";
    return std::nullopt;
}

void PrintChanges(const TStringGrid& grid, const TCatalog& catalog, std::ostream& out) {
    for (const TCellChange& change : MarkedChanges(grid, catalog)) {
        out << grid.Def().CatalogName << '\t' << EscapeDumpText(Cp1251ToUtf8(change.Section)) << '\t'
            << change.Key << '\t' << EscapeDumpText(change.Old) << '\t' << EscapeDumpText(change.New) << '\n';
    }
}

int Import(TDocument& game, const TGridArgs& args, std::ostream& out, std::ostream& err) {
    TStringGrid grid(*args.Grid);
    FillTable(grid, game.Catalog());
    TSheet sheet;
    const TSheetOrigin origin = ReadSheetForGrid(args.File, grid, sheet);
    if (const std::string problem = SheetShapeProblem(grid, sheet); !problem.empty()) {
        err << "kitwright-cli: " << fs::Resolve(args.File) << ": " << problem << " Nothing was imported.\n";
        return kExitFailed;
    }
    const std::optional<std::vector<int>> rows = ChooseRows(grid, sheet, args, err);
    if (!rows) {
        return kExitFailed;
    }
    // What a store would set, after every check it makes: entries sharing a section set their value once,
    // so a dry run counts as the import would.
    std::size_t values = 0;
    try {
        ImportSheet(grid, sheet, origin, *rows);
        values = TableEdits(grid, game.Catalog()).size();
    } catch (const Error& error) {
        throw Error(fs::Resolve(args.File) + ": " + error.what());
    }
    PrintChanges(grid, game.Catalog(), out);
    if (args.DryRun) {
        out << values << (values == 1 ? " value" : " values") << " would change. Nothing was written.\n";
        return kExitOk;
    }
    const int changed = StoreTable(grid, game, "import of " + args.File);
    out << changed << (changed == 1 ? " value" : " values") << " changed.\n";
    if (changed == 0) {
        return kExitOk;
    }
    return PrintSaveReport(game.Save(), out);
}

} // namespace

bool IsInterchangeCommand(const std::string& command) {
    return command == "export" || command == "import";
}

int RunInterchangeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    TGridArgs parsed;
    if (const std::string problem = ParseGridArgs(args, parsed); !problem.empty()) {
        return UsageError(problem, err);
    }
    return RunOnGameFolder(parsed.GameFolder, false, out, err, [&](TDocument& game) {
        return args[0] == "export" ? Export(game, parsed, out) : Import(game, parsed, out, err);
    });
}

} // namespace kw
