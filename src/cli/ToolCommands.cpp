#include "cli/ToolCommands.h"

#include "catalog/GameFolder.h"
#include "gamecfg/FileSys.h"

#include <exception>
#include <memory>
#include <ostream>
#include <vector>

namespace kw {

const char* const kToolUsage =
    "Usage: kitwright-cli COMMAND GAMEDIR [ARGUMENTS]\n"
    "Reads the balance values of the game in GAMEDIR the way the editor does.\n"
    "\n"
    "Commands:\n"
    "  dump     print every field of every catalog entry, one line each:\n"
    "           catalog, index, section, field, value, comment, separated by TABs\n"
    "           (in value and comment a backslash, TAB, CR and LF read \\\\, \\t, \\r, \\n)\n"
    "           --effective (before or after GAMEDIR): the value the game reads, a key the\n"
    "           section lacks taken from its parent sections, and a seventh column naming\n"
    "           the parent section it came from (empty for the entry's own value or a default);\n"
    "           parents that no file defines and loops are named on stderr\n"
    "           exit status: 0 done, 1 the game folder could not be loaded\n"
    "  resave   load and save again without an edit; reports files that could not be written\n"
    "           exit status: 0 every file saved, 1 the folder could not be loaded or a file not saved\n"
    "  check    list missing required files, or print the size of each catalog\n"
    "           exit status: 0 every required file found, 1 a file is missing or the folder\n"
    "           could not be loaded\n"
    "  export GAMEDIR CATALOG FILE\n"
    "           write the table view's grid of CATALOG (weapons, ammo, outfits, arts,\n"
    "           items, weather) to FILE: a workbook (.xlsx), or CSV when FILE ends in .csv.\n"
    "           A FILE the game was loaded from, or inside its gamedata folder, is refused\n"
    "           exit status: 0 done, 1 the folder could not be loaded or FILE not written\n"
    "           or refused\n"
    "  import GAMEDIR CATALOG FILE [--match names|position] [--ignore-size] [--dry-run]\n"
    "           read FILE (.xlsx, .xls or .csv) into that grid, store the changed cells\n"
    "           and save, printing one line per changed cell: catalog, section, field,\n"
    "           old value, new value, separated by TABs and escaped as dump escapes them.\n"
    "           Rows are matched by position while the sheet's names equal the grid's in\n"
    "           order; a sorted or filtered sheet is refused unless --match names matches\n"
    "           its rows by name, and --match position imports any sheet by position.\n"
    "           A sheet whose size differs from the grid (its columns, when matched by\n"
    "           name) is refused unless --ignore-size is given. --dry-run prints the\n"
    "           changes and writes nothing\n"
    "           exit status: 0 done, 1 the folder could not be loaded or saved, or FILE not\n"
    "           read or refused\n"
    "  diff GAMEDIR_A GAMEDIR_B [--exact]\n"
    "           print every field whose value differs, one line each: catalog, section,\n"
    "           field, value in A, value in B, separated by TABs and escaped as dump\n"
    "           escapes them; an entry on one side only gives catalog, section and\n"
    "           \"added\" or \"removed\". Entries are matched by section regardless of\n"
    "           letter case, weapons by file name; comments are not compared. Values\n"
    "           that differ only in blanks or TABs next to the commas of a list count\n"
    "           as equal; --exact (before or after the folders) compares them byte\n"
    "           for byte\n"
    "           exit status: 0 no difference, 1 a difference, 2 wrong usage or either\n"
    "           folder could not be loaded\n"
    "  --help   show this text\n"
    "  --version\n"
    "           show the version\n"
    "\n"
    "Every command exits with 2 on wrong usage.\n";

namespace {

void PrintMissingFiles(std::ostream& out, const std::vector<std::string>& missing) {
    out << "The game folder lacks these required files:\n";
    for (const std::string& file : missing) {
        out << "  " << fs::Resolve(file) << '\n';
    }
}

} // namespace

int UsageError(const std::string& problem, std::ostream& err) {
    err << "kitwright-cli: " << problem << "\n\n" << kToolUsage;
    return kExitUsage;
}

int PrintSaveReport(const TSaveReport& report, std::ostream& out) {
    if (report.Ok()) {
        out << "Every file was saved.\n";
        return kExitOk;
    }
    for (const TSaveFailure& failure : report.Failures) {
        out << "Not saved: " << failure.Message() << '\n';
    }
    for (const TSaveConflict& conflict : report.Conflicts) {
        out << "Not saved: " << conflict.Message() << '\n';
    }
    if (report.Stopped) {
        out << "The save stopped there; the files after it were not written.\n";
    }
    return kExitFailed;
}

bool LoadToolDocument(TDocument& document, const std::string& gameFolder, bool missingIsAnswer,
                      std::ostream& out, std::ostream& err) {
    if (!fs::DirExists(gameFolder)) {
        err << "kitwright-cli: no such game folder: " << gameFolder << '\n';
        return false;
    }
    const std::vector<std::string> missing =
        MissingFiles(BuildRequiredFiles(fs::WithTrailingSeparator(gameFolder)));
    if (!missing.empty()) {
        PrintMissingFiles(missingIsAnswer ? out : err, missing);
        return false;
    }
    try {
        document.Load(gameFolder);
        return true;
    } catch (const std::exception& error) {
        err << "kitwright-cli: " << error.what() << '\n';
        return false;
    }
}

int RunOnGameFolder(const std::string& gameFolder, bool missingIsAnswer, std::ostream& out, std::ostream& err,
                    const std::function<int(TDocument&)>& work) {
    auto document = std::make_unique<TDocument>();
    if (!LoadToolDocument(*document, gameFolder, missingIsAnswer, out, err)) {
        return kExitFailed;
    }
    try {
        return work(*document);
    } catch (const std::exception& error) {
        err << "kitwright-cli: " << error.what() << '\n';
        return kExitFailed;
    }
}

} // namespace kw
