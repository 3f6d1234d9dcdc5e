#pragma once

#include <QStringList>

#include <optional>
#include <string>

namespace kw {

// What the editor's command line asks for. It is read before the application object exists, so that
// --help and --version need no display.
struct TCommandLine {
    // Set when the program ends at once: --help, --version (0) or wrong usage (2).
    std::optional<int> ExitCode;
    // What to print before ending: on stdout for 0, on stderr otherwise.
    QString Output;
    // The game folder to open instead of the stored one, absolute with a trailing separator; empty for none.
    std::string GameFolder;
};

// The arguments as the C library hands them over, program name first.
QStringList CommandLineArguments(int argc, char** argv);

// arguments: program name first. A relative game folder is taken from the current directory.
TCommandLine ParseCommandLine(const QStringList& arguments);

} // namespace kw
