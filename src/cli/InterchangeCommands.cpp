#include "cli/InterchangeCommands.h"

#include "catalog/Dump.h"
#include "gamecfg/Error.h"
#include "gamecfg/FileSys.h"
#include "interchange/GridTable.h"
#include "interchange/SheetImport.h"
#include "interchange/WorkbookWriter.h"

#include <ostream>

namespace kw {
namespace {

struct TGridArgs {
    std::string GameFolder;
    const TGridDef* Grid = nullptr;
    std::string File;
    bool IgnoreSize = false;
};

// Empty text when the arguments are fine, else the problem.
std::string ParseGridArgs(const std::vector<std::string>& args, TGridArgs& parsed) {
    std::vector<std::string> positional;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[0] == "import" && args[i] == "--ignore-size") {
            parsed.IgnoreSize = true;
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

int Import(TDocument& game, const TGridArgs& args, std::ostream& out, std::ostream& err) {
    TStringGrid grid(*args.Grid);
    FillTable(grid, game.Catalog());
    TSheet sheet;
    const TSheetOrigin origin = ReadSheetForGrid(args.File, grid, sheet);
    if (!SheetSizeMatches(grid, sheet) && !args.IgnoreSize) {
        err << "kitwright-cli: the sheet in " << fs::Resolve(args.File) << " has " << sheet.Rows
            << " rows and " << sheet.Columns << " columns, the " << args.Grid->CatalogName << " grid "
            << grid.SheetRows() << " rows and " << grid.ColumnCount()
            << " columns, header and names included. Nothing was imported; --ignore-size imports it "
               "anyway.\n";
        return kExitFailed;
    }
    try {
        ImportSheet(grid, sheet, origin);
    } catch (const Error& error) {
        throw Error(fs::Resolve(args.File) + ": " + error.what());
    }
    const int changed = StoreTable(grid, game.Catalog());
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
