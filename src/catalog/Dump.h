#pragma once

#include "catalog/Catalog.h"
#include "catalog/Document.h"

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// The headless tool's work, kept out of its main() so that it can be tested:
// loading a game folder without widgets, dumping the catalogs as text, and
// the tool's commands.
namespace kw {

// Backslash, TAB, CR and LF written as \\, \t, \r and \n, so that a field
// never breaks the tab-separated line it stands in.
std::string EscapeDumpText(std::string_view text);

// One field of an entry as dump prints it: value and comment in UTF-8, unescaped.
struct TDumpField {
    std::string_view Field;
    std::string Value;
    std::string Comment;
};

// One catalog entry as dump prints it.
struct TDumpEntry {
    std::string_view Catalog;
    std::size_t Index = 0;
    std::string_view Section;  // windows-1251
    std::string_view FileName; // a weapon's file, in the game's backslash form; empty for other entries
    std::vector<TDumpField> Fields;
};

// Every entry in dump order: the order of kCatalogNames (catalog/CatalogEntries.h).
void ForEachDumpEntry(TCatalog& catalog, const std::function<void(const TDumpEntry&)>& visit);

// One UTF-8 line per field: catalog, index, section, field, value, comment,
// separated by TABs. Catalogs in list order, then the weapon addons.
void DumpCatalog(TCatalog& catalog, std::ostream& out);

enum TExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

// What resave prints: one line per file that could not be written; the exit code.
int PrintSaveReport(const TSaveReport& report, std::ostream& out);

// Prints the problem and the usage text; kExitUsage.
int UsageError(const std::string& problem, std::ostream& err);

// Loads the game folder into document for a command. A missing folder or required file and an error thrown
// while loading are reported on err (missing files on out when they are the answer); false then.
bool LoadToolDocument(TDocument& document, const std::string& gameFolder, bool missingIsAnswer,
                      std::ostream& out, std::ostream& err);

// Loads the game folder and runs work on it. A missing folder or required file, and an error thrown while
// loading or working, are reported on err (missing files on out when they are the answer) and give
// kExitFailed.
int RunOnGameFolder(const std::string& gameFolder, bool missingIsAnswer, std::ostream& out, std::ostream& err,
                    const std::function<int(TDocument&)>& work);

// The usage text, which gives each command's exit codes.
extern const char* const kToolUsage;

// The tool's command line without the program name; returns the exit code
// (0 done, 1 the game folder could not be loaded or saved, 2 wrong usage).
int RunHeadlessTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kw
