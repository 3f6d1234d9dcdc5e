#pragma once

#include "catalog/Document.h"

#include <functional>
#include <iosfwd>
#include <string>

// What every command of the headless tool shares: its exit codes and usage text, loading the game folder it
// works on, and the report of a save.
namespace kw {

enum TExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

// The usage text, which gives each command's exit codes.
extern const char* const kToolUsage;

// Prints the problem and the usage text; kExitUsage.
int UsageError(const std::string& problem, std::ostream& err);

// What resave prints: one line per file that could not be written; the exit code.
int PrintSaveReport(const TSaveReport& report, std::ostream& out);

// Loads the game folder into document for a command. A missing folder or required file and an error thrown
// while loading are reported on err (missing files on out when they are the answer); false then.
bool LoadToolDocument(TDocument& document, const std::string& gameFolder, bool missingIsAnswer,
                      std::ostream& out, std::ostream& err);

// Loads the game folder and runs work on it. A missing folder or required file, and an error thrown while
// loading or working, are reported on err (missing files on out when they are the answer) and give
// kExitFailed.
int RunOnGameFolder(const std::string& gameFolder, bool missingIsAnswer, std::ostream& out, std::ostream& err,
                    const std::function<int(TDocument&)>& work);

} // namespace kw
