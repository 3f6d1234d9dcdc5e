#include "MainWindowFixture.h"

#include "app/CommandLine.h"

#include <QMessageBox>
#include <QToolButton>

#include <optional>

namespace kwtest {
namespace {

namespace stdfs = std::filesystem;

struct TParseCase {
    const char* Name;
    QStringList Arguments;
    std::optional<int> ExitCode;
    const char* Output;     // a part of the printed text
    std::string GameFolder; // relative ones are expected below the current directory
};

class CommandLineParse : public ::testing::TestWithParam<TParseCase> {};

TEST_P(CommandLineParse, EndsOrNamesTheFolder) {
    const TParseCase& c = GetParam();
    const kw::TCommandLine parsed = kw::ParseCommandLine(QStringList{"kitwright"} + c.Arguments);
    EXPECT_EQ(parsed.ExitCode, c.ExitCode);
    EXPECT_TRUE(parsed.Output.contains(QString::fromUtf8(c.Output))) << parsed.Output.toStdString();
    const std::string expected = c.GameFolder.empty() || c.GameFolder[0] == '/'
                                     ? c.GameFolder
                                     : (stdfs::current_path() / c.GameFolder).string();
    EXPECT_EQ(parsed.GameFolder, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineParse,
    ::testing::Values(
        TParseCase{"Nothing", {}, std::nullopt, "", ""},
        TParseCase{"Help", {"--help"}, 0, "Usage: kitwright [GAMEDIR]", ""},
        TParseCase{"ShortHelp", {"-h"}, 0, "--version", ""},
        TParseCase{"Version", {"--version"}, 0, "Kitwright version 1.05\n", ""},
        TParseCase{"HelpWinsOverAFolder", {"/games/dusk", "--help"}, 0, "Usage:", ""},
        TParseCase{"UnknownOption", {"--fast"}, 2, "kitwright: Unknown option 'fast'", ""},
        TParseCase{"TwoFolders", {"/a", "/b"}, 2, "at most one game folder", ""},
        TParseCase{"EmptyFolder", {""}, 2, "empty", ""},
        TParseCase{"AbsoluteFolder", {"/games/dusk reach"}, std::nullopt, "", "/games/dusk reach/"},
        TParseCase{"TrailingSeparatorKept", {"/games/dusk/"}, std::nullopt, "", "/games/dusk/"},
        TParseCase{"RelativeFolder", {"games/dusk"}, std::nullopt, "", "games/dusk/"},
        // The toolkit's own options are left to the application object.
        TParseCase{
            "ToolkitOption", {"-platform", "offscreen", "/games/dusk"}, std::nullopt, "", "/games/dusk/"}),
    [](const ::testing::TestParamInfo<TParseCase>& info) { return std::string(info.param.Name); });

struct TStartCase {
    const char* Name;
    bool Valid;      // the named folder holds the game
    bool Relative;   // named relative to the current directory
    bool FirstStart; // the settings name no folder yet
};

class CommandLineStart : public MainWindowTest, public ::testing::WithParamInterface<TStartCase> {};

// The named folder replaces the stored one as a chosen folder would, without the first start's warning and
// chooser; only a folder that holds the game is kept for the next start.
TEST_P(CommandLineStart, OpensTheNamedFolderAndKeepsItOnlyWhenItHoldsTheGame) {
    const TStartCase& c = GetParam();
    CopyPictures();
    std::string stored;
    if (!c.FirstStart) {
        stored = CopySampleGame("stored");
        WriteSettings("GamePath=" + stored + "\nLocalizationPath=kept\\\n");
    }
    std::string named = ExeFolder() + "named";
    if (c.Valid) {
        named = CopySampleGame("named");
    } else {
        stdfs::create_directories(named);
    }
    const std::string argument = c.Relative ? stdfs::relative(named, stdfs::current_path()).string() : named;
    const kw::TCommandLine commandLine =
        kw::ParseCommandLine({"kitwright", QString::fromStdString(argument)});
    ASSERT_FALSE(commandLine.ExitCode);
    EXPECT_EQ(commandLine.GameFolder, kw::fs::WithTrailingSeparator(named));

    FWindow = std::make_unique<kw::TfrmMain>(NewSession(), &FPlatform);
    FWindow->OpenAtStart(commandLine.GameFolder);
    FWindow->FormCreate();

    EXPECT_TRUE(FPlatform.FolderTitles.empty());
    for (const FakePlatform::Message& message : FPlatform.Messages) {
        EXPECT_NE(message.Caption, "ВНИМАНИЕ") << message.Text.toStdString();
    }
    EXPECT_EQ(FWindow->GamePath(), kw::fs::WithTrailingSeparator(named));
    if (c.Valid) {
        EXPECT_TRUE(FPlatform.Messages.empty());
        EXPECT_EQ(FWindow->Catalog().Weapons.size(), 11u);
        // Taken from the game, not from the settings.
        EXPECT_EQ(FWindow->LocalizationPath(), "gamedata\\config\\text\\eng\\");
    } else {
        ASSERT_EQ(FPlatform.Messages.size(), 1u);
        EXPECT_EQ(FPlatform.Messages[0].Caption, "Файл не найден");
        EXPECT_TRUE(FWindow->Catalog().Weapons.empty());
    }
    // A first start still offers the backup, once the folder passed the check.
    ASSERT_EQ(FPlatform.Questions.size(), c.Valid && c.FirstStart ? 1u : 0u);
    if (!FPlatform.Questions.empty()) {
        EXPECT_EQ(FPlatform.Questions[0].Caption, "Архивация");
    }

    ASSERT_TRUE(FWindow->close());
    const std::string keptFolder = c.FirstStart ? "<absent>" : stored;
    const std::string keptLocalization = c.FirstStart ? "<absent>" : "kept\\";
    EXPECT_EQ(Setting("MainOptions", "GamePath"),
              c.Valid ? kw::fs::WithTrailingSeparator(named) : keptFolder);
    EXPECT_EQ(Setting("MainOptions", "LocalizationPath"),
              c.Valid ? "gamedata\\config\\text\\eng\\" : keptLocalization);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineStart,
                         ::testing::Values(TStartCase{"ValidAtFirstStart", true, false, true},
                                           TStartCase{"ValidAtLaterStart", true, false, false},
                                           TStartCase{"InvalidAtFirstStart", false, false, true},
                                           TStartCase{"InvalidAtLaterStart", false, false, false},
                                           TStartCase{"RelativeAtLaterStart", true, true, false},
                                           TStartCase{"RelativeInvalidAtFirstStart", false, true, true}),
                         [](const ::testing::TestParamInfo<TStartCase>& info) {
                             return std::string(info.param.Name);
                         });

// A folder chosen after a rejected command-line folder is stored as every chosen folder is.
TEST_F(MainWindowTest, FolderChosenAfterARejectedCommandLineFolderIsStored) {
    const std::string stored = CopySampleGame("stored");
    WriteSettings("GamePath=" + stored + "\n");
    stdfs::create_directories(ExeFolder() + "empty");
    FWindow = std::make_unique<kw::TfrmMain>(NewSession(), &FPlatform);
    FWindow->OpenAtStart(ExeFolder() + "empty/");
    FWindow->FormCreate();
    FPlatform.Folder = QString::fromStdString(ExeFolder() + "other");
    FWindow->btnSelectGamePath->click();
    ASSERT_TRUE(FWindow->close());
    EXPECT_EQ(Setting("MainOptions", "GamePath"), ExeFolder() + "other/");
}

} // namespace
} // namespace kwtest
