#include "app/CommandLine.h"

#include "gamecfg/FileSys.h"

#include "Version.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace kw {

namespace {

constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage: kitwright [GAMEDIR]\n"
    "Edits the balance values of the game in GAMEDIR, or in the game folder chosen last.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this text\n"
    "  -v, --version  show the version\n"
    "\n"
    "GAMEDIR is opened as if it had been chosen with Settings > Game folder; it is\n"
    "remembered only when it holds the game's files.\n";

// The toolkit's own options, which the application object takes from the command line after this parse.
const char* const kToolkitOptions[] = {"platform", "style", "stylesheet", "display", "qwindowgeometry"};

QString UsageError(const QString& problem) {
    return QStringLiteral("kitwright: ") + problem + QStringLiteral("\nTry 'kitwright --help'.\n");
}

} // namespace

QStringList CommandLineArguments(int argc, char** argv) {
    QStringList arguments;
    for (int index = 0; index < argc; ++index) {
        arguments << QString::fromLocal8Bit(argv[index]);
    }
    return arguments;
}

TCommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // "-platform offscreen", as the toolkit spells its options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    parser.addOption(help);
    parser.addOption(version);
    for (const char* name : kToolkitOptions) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    }
    TCommandLine result;
    if (!parser.parse(arguments)) {
        result.ExitCode = kExitUsage;
        result.Output = UsageError(parser.errorText());
        return result;
    }
    if (parser.isSet(help)) {
        result.ExitCode = 0;
        result.Output = QString::fromLatin1(kUsage);
        return result;
    }
    if (parser.isSet(version)) {
        result.ExitCode = 0;
        result.Output = QString::fromLatin1(kVersionLine) + QLatin1Char('\n');
        return result;
    }
    const QStringList folders = parser.positionalArguments();
    if (folders.size() > 1) {
        result.ExitCode = kExitUsage;
        result.Output = UsageError(QStringLiteral("takes at most one game folder"));
        return result;
    }
    if (!folders.isEmpty() && folders.front().trimmed().isEmpty()) {
        result.ExitCode = kExitUsage;
        result.Output = UsageError(QStringLiteral("the game folder is empty"));
        return result;
    }
    if (!folders.isEmpty()) {
        result.GameFolder =
            fs::WithTrailingSeparator(QFileInfo(folders.front()).absoluteFilePath().toStdString());
    }
    return result;
}

} // namespace kw
