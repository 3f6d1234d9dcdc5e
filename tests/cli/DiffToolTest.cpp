#include "catalog/SampleCopy.h"
#include "cli/DiffCommand.h"
#include "cli/Tool.h"
#include "cli/ToolCommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace kw {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const std::string kBittern = "gamedata\\config\\weapons\\w_bittern.ltx";
const std::string kWeaponsLtx = "gamedata\\config\\weapons\\weapons.ltx";
const std::string kItemsLtx = "gamedata\\config\\misc\\items.ltx";

struct TRun {
    int Code;
    std::string Out, Err;
};

TRun Diff(const std::vector<std::string>& folders) {
    std::vector<std::string> args{"diff"};
    args.insert(args.end(), folders.begin(), folders.end());
    std::ostringstream out, err;
    const int code = RunDiffCommand(args, out, err);
    return {code, out.str(), err.str()};
}

// The copy is the modded game, the shipped sample the original.
class DiffToolTest : public test::SampleCopyTest {
protected:
    // Cuts the section that begins with header, up to the next section.
    void RemoveSection(const std::string& rel, const std::string& header) {
        std::string bytes = FGame.Read(rel);
        const auto begin = bytes.find(header);
        ASSERT_NE(begin, std::string::npos) << header;
        bytes.erase(begin, bytes.find("\n[", begin) + 1 - begin);
        FGame.Write(rel, bytes);
    }
    void Append(const std::string& rel, const std::string& text) { FGame.Write(rel, FGame.Read(rel) + text); }
    // Replaces the first place of from in the section that begins with header.
    void ReplaceInSection(const std::string& rel, const std::string& header, const std::string& from,
                          const std::string& to) {
        std::string bytes = FGame.Read(rel);
        const auto begin = bytes.find(header);
        ASSERT_NE(begin, std::string::npos) << header;
        const auto at = bytes.find(from, begin);
        ASSERT_LT(at, bytes.find("\n[", begin)) << from << " in " << header;
        bytes.replace(at, from.size(), to);
        FGame.Write(rel, bytes);
    }

    const std::string FOriginal = test::SampleGamePath();
};

TEST_F(DiffToolTest, PrintsChangedValuesAndEntriesOnOneSideOnly) {
    Replace(kBittern, "cost                    = 2600", "cost                    = 2650");
    Replace(kItemsLtx, "cost                     = 40\n", "cost                     = 45\n");
    RemoveSection(kItemsLtx, "[bandage]\n");
    Append(kItemsLtx, "\n[swamp_berries]\ninv_name = swamp_berries\ncost = 15\n");
    // Neither a comment, nor a section's letter case, nor a repeated section header is a difference.
    Replace(kWeaponsLtx, "k_hit                   = 1 ; standard round", "k_hit = 1 ; a common round");
    Replace(kItemsLtx, "[antirad]", "[AntiRad]");
    Append(kItemsLtx, "[marsh_bread]\ninv_name = marsh_bread\ncost = 99\n");

    const TRun run = Diff({FOriginal, FGame.Path()});
    EXPECT_EQ(run.Code, 1) << run.Err;
    EXPECT_EQ(run.Out, "weapons\twpn_bittern\tcost\t2600\t2650\n"
                       "items\tmarsh_bread\tcost\t40\t45\n"
                       "items\tbandage\tremoved\n"
                       "items\tswamp_berries\tadded\n");

    const TRun back = Diff({FGame.Path(), FOriginal});
    EXPECT_EQ(back.Code, 1) << back.Err;
    EXPECT_EQ(back.Out, "weapons\twpn_bittern\tcost\t2650\t2600\n"
                        "items\tmarsh_bread\tcost\t45\t40\n"
                        "items\tswamp_berries\tremoved\n"
                        "items\tbandage\tadded\n");
}

// Names count, and weapons meet by their file: a second file holding the same section is another weapon.
TEST_F(DiffToolTest, ComparesNamesAndMatchesWeaponsByFile) {
    const std::string ups = "gamedata\\config\\weapons\\w_ups.ltx";
    FGame.Write("gamedata\\config\\weapons\\w_usp.ltx", FGame.Read(ups));
    Replace("gamedata\\config\\text\\eng\\string_table_enc_equipment.xml", "Marsh bread", "Bog bread");
    const TRun run = Diff({FOriginal, FGame.Path()});
    EXPECT_EQ(run.Code, 1) << run.Err;
    EXPECT_EQ(run.Out, "weapons\twpn_usp\tadded\n"
                       "items\tmarsh_bread\tName\tMarsh bread\tBog bread\n");
}

// Game files space the items of a list as their authors typed them; the game reads the items alone.
TEST_F(DiffToolTest, RespacedListsAreNoDifferenceUnlessExact) {
    const std::string weather = "gamedata\\config\\weathers\\weather_default.ltx";
    const std::string section = "[default_wth_05]\n";
    ReplaceInSection(weather, section, "= 0.14, 0.17, 0.21", "= 0.14,0.17 ,   0.21");
    ReplaceInSection(weather, section, "= -31, 205", "= -31,205");
    ReplaceInSection(weather, section, "= 250", "= 260");

    const TRun run = Diff({FOriginal, FGame.Path()});
    EXPECT_EQ(run.Code, 1) << run.Err;
    EXPECT_EQ(run.Out, "weather\tdefault_wth_05\tfog_distance\t250\t260\n");

    const std::string exact = "weather\tdefault_wth_05\tsky_color\t0.14, 0.17, 0.21\t0.14,0.17 ,   0.21\n"
                              "weather\tdefault_wth_05\tfog_distance\t250\t260\n"
                              "weather\tdefault_wth_05\tsun_dir\t-31, 205\t-31,205\n";
    for (const auto& args : {std::vector<std::string>{"--exact", FOriginal, FGame.Path()},
                             std::vector<std::string>{FOriginal, FGame.Path(), "--exact"}}) {
        const TRun exactRun = Diff(args);
        EXPECT_EQ(exactRun.Code, 1) << exactRun.Err;
        EXPECT_EQ(exactRun.Out, exact) << args[0];
    }
}

struct TValueCase {
    const char* Name;
    const char* A;
    const char* B;
    bool Same;      // without --exact
    bool SameExact; // with it
};

void PrintTo(const TValueCase& c, std::ostream* out) {
    *out << c.Name;
}

class DiffValueTest : public ::testing::TestWithParam<TValueCase> {};

TEST_P(DiffValueTest, BlanksCountOnlyAwayFromTheCommasOfAList) {
    const TValueCase& c = GetParam();
    EXPECT_EQ(SameDiffValue(c.A, c.B, TDiffComparison::IgnoreListBlanks), c.Same);
    EXPECT_EQ(SameDiffValue(c.B, c.A, TDiffComparison::IgnoreListBlanks), c.Same);
    EXPECT_EQ(SameDiffValue(c.A, c.B, TDiffComparison::Exact), c.SameExact);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DiffValueTest,
    ::testing::Values(TValueCase{"Identical", "0.0, 0.0, 0.0", "0.0, 0.0, 0.0", true, true},
                      TValueCase{"MoreBlanksAfterCommas", "0.0, 0.0, 0.0", "0.0,    0.0,   0.0", true, false},
                      TValueCase{"NoBlanks", "0.04, 0.04, 0.06", "0.04,0.04,0.06", true, false},
                      TValueCase{"BlanksBeforeCommas", "ammo_9x18, ammo_9x18_ap", "ammo_9x18 ,ammo_9x18_ap",
                                 true, false},
                      TValueCase{"TabsAroundCommas", "-46, 180", "-46\t,\t\t180", true, false},
                      TValueCase{"EmptyItem", "1, , 2", "1,,2", true, false},
                      TValueCase{"BlankInsideAWord", "a b", "ab", false, false},
                      TValueCase{"BlankInsideAnItem", "sky mire, 1", "skymire, 1", false, false},
                      TValueCase{"BlankForAComma", "0.1 0.2", "0.1, 0.2", false, false},
                      TValueCase{"CommaMore", "1, 2", "1,, 2", false, false},
                      TValueCase{"OtherItem", "0.0, 0.0, 0.0", "0.0,    0.0,   0.1", false, false},
                      TValueCase{"TrailingBlank", "0.5", "0.5 ", false, false},
                      TValueCase{"EmptyAndBlank", "", " ", false, false}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TExitCase {
    const char* Name;
    std::vector<std::string> Folders; // "A": the sample, "B": the copy, else a path below the copy
    int Code;
    std::string Err;
};

void PrintTo(const TExitCase& c, std::ostream* out) {
    *out << c.Name;
}

class DiffExitTest : public DiffToolTest, public ::testing::WithParamInterface<TExitCase> {};

TEST_P(DiffExitTest, ExitCodeTellsTheOutcome) {
    const TExitCase& c = GetParam();
    std::filesystem::remove(FGame.Full(kItemsLtx)); // the copy lacks a required file
    std::vector<std::string> folders;
    for (const std::string& folder : c.Folders) {
        folders.push_back(folder == "A"              ? FOriginal
                          : folder == "B"            ? FGame.Path()
                          : folder.starts_with("--") ? folder
                                                     : FGame.Path() + folder);
    }
    const TRun run = Diff(folders);
    EXPECT_EQ(run.Code, c.Code);
    EXPECT_THAT(run.Err, HasSubstr(c.Err));
    if (c.Code != 1) {
        EXPECT_EQ(run.Out, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, DiffExitTest,
    ::testing::Values(
        TExitCase{"SameFolder", {"A", "A"}, kExitOk, ""},
        TExitCase{"OneFolder", {"A"}, kExitUsage, "\"diff\" takes exactly two game folders"},
        TExitCase{"ThreeFolders", {"A", "A", "A"}, kExitUsage, "Usage: kitwright-cli"},
        TExitCase{"NoSuchFolder", {"A", "nothing"}, kExitUsage, "no such game folder"},
        TExitCase{"RequiredFileMissing", {"B", "A"}, kExitUsage, "items.ltx"},
        TExitCase{"ExactBetweenFolders", {"A", "--exact", "A"}, kExitOk, ""},
        TExitCase{
            "ExactAndOneFolder", {"--exact", "A"}, kExitUsage, "\"diff\" takes exactly two game folders"},
        TExitCase{
            "UnknownOption", {"A", "A", "--exakt"}, kExitUsage, "unknown option \"--exakt\" of \"diff\""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(DiffUsageTest, UsageGivesEachCommandsExitCodes) {
    std::ostringstream out, err;
    ASSERT_EQ(RunTool({"--help"}, out, err), kExitOk);
    EXPECT_THAT(out.str(), HasSubstr("  diff GAMEDIR_A GAMEDIR_B [--exact]\n"));
    EXPECT_THAT(out.str(),
                HasSubstr("exit status: 0 no difference, 1 a difference, 2 wrong usage or either\n"));
    EXPECT_THAT(out.str(), HasSubstr("exit status: 0 every file saved"));
}

} // namespace
} // namespace kw
