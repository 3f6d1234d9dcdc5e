#pragma once

#include "catalog/Catalog.h"
#include "catalog/GameFolder.h"
#include "catalog/Picture.h"
#include "gamecfg/StringTable.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// The headless tool's work, kept out of its main() so that it can be tested:
// loading a game folder without widgets, dumping the catalogs as text, and
// the tool's commands.
namespace kw {

// A game folder loaded the way a full load after choosing a new folder loads
// it, without pictures. Members are declared so that the catalog, which
// points into the tables and picture lists, is destroyed first.
struct THeadlessGame {
    std::string GamePath;
    TStringTables Tables;
    TPictureLists Pictures; // stay empty: nothing is shown
    TLoadPreparation Preparation;
    std::vector<std::string> RequiredFiles;
    TCatalog Catalog;
};

// gameFolder with or without a trailing separator. Throws kw::Error for a
// malformed string table (the catalogs are not loaded then).
void LoadHeadlessGame(THeadlessGame& game, const std::string& gameFolder);

// Backslash, TAB, CR and LF written as \\, \t, \r and \n, so that a field
// never breaks the tab-separated line it stands in.
std::string EscapeDumpText(std::string_view text);

// One UTF-8 line per field: catalog, index, section, field, value, comment,
// separated by TABs. Catalogs in list order, then the weapon addons.
void DumpCatalog(TCatalog& catalog, std::ostream& out);

enum TExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

// What resave prints: one line per file that could not be written; the exit code.
int PrintSaveReport(const TSaveReport& report, std::ostream& out);

// Prints the problem and the usage text; kExitUsage.
int UsageError(const std::string& problem, std::ostream& err);

// Loads the game folder and runs work on it. A missing folder or required file, and an error thrown while
// loading or working, are reported on err (missing files on out when they are the answer) and give
// kExitFailed.
int RunOnGameFolder(const std::string& gameFolder, bool missingIsAnswer, std::ostream& out, std::ostream& err,
                    const std::function<int(THeadlessGame&)>& work);

// The tool's command line without the program name; returns the exit code
// (0 done, 1 the game folder could not be loaded or saved, 2 wrong usage).
int RunHeadlessTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kw
