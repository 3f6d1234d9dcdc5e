#include "catalog/Dump.h"
#include "catalog/SampleCopy.h"
#include "cli/DiffCommand.h"

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
        folders.push_back(folder == "A" ? FOriginal : folder == "B" ? FGame.Path() : FGame.Path() + folder);
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
    ::testing::Values(TExitCase{"SameFolder", {"A", "A"}, kExitOk, ""},
                      TExitCase{"OneFolder", {"A"}, kExitUsage, "\"diff\" takes exactly two game folders"},
                      TExitCase{"ThreeFolders", {"A", "A", "A"}, kExitUsage, "Usage: kitwright-cli"},
                      TExitCase{"NoSuchFolder", {"A", "nothing"}, kExitUsage, "no such game folder"},
                      TExitCase{"RequiredFileMissing", {"B", "A"}, kExitUsage, "items.ltx"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(DiffUsageTest, UsageGivesEachCommandsExitCodes) {
    std::ostringstream out, err;
    ASSERT_EQ(RunHeadlessTool({"--help"}, out, err), kExitOk);
    EXPECT_THAT(out.str(), HasSubstr("  diff GAMEDIR_A GAMEDIR_B\n"));
    EXPECT_THAT(out.str(),
                HasSubstr("exit status: 0 no difference, 1 a difference, 2 wrong usage or either\n"));
    EXPECT_THAT(out.str(), HasSubstr("exit status: 0 every file saved"));
}

} // namespace
} // namespace kw
