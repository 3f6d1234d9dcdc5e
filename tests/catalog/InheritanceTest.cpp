#include "catalog/Inheritance.h"
#include "catalog/Document.h"
#include "catalog/GameDir.h"
#include "catalog/SampleCopy.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kw {
namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

const std::string kWeapons = "gamedata\\config\\weapons\\";
const std::string kRifle = kWeapons + "w_rifle.ltx";

struct TFile {
    std::string Rel;
    std::string Bytes;
};

struct TProblem {
    TParentProblem::TKind Kind;
    std::vector<std::string> Sections;
};

// One way of naming parents: the files of a game, and what the rifle's key shows.
struct TInheritCase {
    const char* Name;
    std::vector<TFile> Files;
    const char* Key;
    std::string Own;                // the rifle's own value: empty, or the default
    std::string Value;              // what the game reads
    std::string Comment;            // of the line read
    std::string Section;            // where it came from; empty: the rifle's own value or a default
    std::string File;               // of that section
    std::vector<TProblem> Problems; // in the order a load meets them
};

void PrintTo(const TInheritCase& c, std::ostream* out) {
    *out << c.Name;
}

std::string Rifle(const std::string& parents, const std::string& keys = "") {
    return "[wpn_rifle]" + parents + "\ninv_name = wpn_rifle\ncost = 100\n" + keys;
}

const TInheritCase kCases[] = {
    {"OneParent",
     {{kRifle, Rifle(":rifle_base") + "[rifle_base]\nhit_power = 0.5 ; from the base\n"}},
     "hit_power",
     "",
     "0.5",
     "; from the base",
     "rifle_base",
     kRifle,
     {}},
    {"TwoParentsBothHoldingTheKey",
     {{kRifle, Rifle(":first, second") + "[first]\nhit_power = 0.1\n[second]\nhit_power = 0.2\n"}},
     "hit_power",
     "",
     "0.1",
     "",
     "first",
     kRifle,
     {}},
    // Depth first: the first parent's own parent comes before the second parent.
    {"Grandparent",
     {{kRifle, Rifle(":first,second") + "[first]:grand\ncost = 1\n[second]\nhit_power = 0.2\n"
                                        "[grand]\nhit_power = 0.3\n"}},
     "hit_power",
     "",
     "0.3",
     "",
     "grand",
     kRifle,
     {}},
    {"ParentInAnotherFileOfTheFolder",
     {{kRifle, Rifle(":rifle_base")}, {kWeapons + "weapons_base.ltx", "[rifle_base]\nhit_power = 0.4\n"}},
     "hit_power",
     "",
     "0.4",
     "",
     "rifle_base",
     kWeapons + "weapons_base.ltx",
     {}},
    {"DefinedInTwoFilesOfOneFolder",
     {{kRifle, Rifle(":rifle_base")},
      {kWeapons + "b_base.ltx", "[rifle_base]\nhit_power = 0.2\n"},
      {kWeapons + "A_base.ltx", "[rifle_base]\nhit_power = 0.1\n"}},
     "hit_power",
     "",
     "0.1",
     "",
     "rifle_base",
     kWeapons + "A_base.ltx",
     {}},
    // The same folder before a file that comes first in path order.
    {"DefinedInTwoFolders",
     {{kRifle, Rifle(":rifle_base")},
      {"gamedata\\config\\creatures\\base.ltx", "[rifle_base]\nhit_power = 0.9\n"},
      {kWeapons + "z_base.ltx", "[rifle_base]\nhit_power = 0.2\n"}},
     "hit_power",
     "",
     "0.2",
     "",
     "rifle_base",
     kWeapons + "z_base.ltx",
     {}},
    // Headers are found where only blanks stand before their "[", behind a byte-order mark too.
    {"HeadersAsFilesWriteThem",
     {{kRifle, Rifle(":rifle_base")},
      {kWeapons + "weapons_base.ltx", "\xEF\xBB\xBF[other]\nnote = see [rifle_base]\n; [rifle_base]\n"
                                      "\t [rifle_base] ; the base\nhit_power = 0.45\n"}},
     "hit_power",
     "",
     "0.45",
     "",
     "rifle_base",
     kWeapons + "weapons_base.ltx",
     {}},
    // The same file before the same folder.
    {"DefinedInItsOwnFileAndBeside",
     {{kRifle, Rifle(":rifle_base") + "[rifle_base]\nhit_power = 0.3\n"},
      {kWeapons + "a_base.ltx", "[rifle_base]\nhit_power = 0.1\n"}},
     "hit_power",
     "",
     "0.3",
     "",
     "rifle_base",
     kRifle,
     {}},
    // Neither folder is the rifle's: the first path regardless of letter case ("misc" before "Zeta").
    {"DefinedInTwoOtherFolders",
     {{kRifle, Rifle(":rifle_base")},
      {"gamedata\\config\\Zeta\\base.ltx", "[rifle_base]\nhit_power = 0.9\n"},
      {"gamedata\\config\\misc\\base.ltx", "[rifle_base]\nhit_power = 0.1\n"}},
     "hit_power",
     "",
     "0.1",
     "",
     "rifle_base",
     "gamedata\\config\\misc\\base.ltx",
     {}},
    // A loop is left where it closes and the walk goes on with the next parent; a second weapon walking into
    // the same loop from another side does not report it again.
    {"Loop",
     {{kRifle,
       Rifle(":loop_a, other") + "[loop_a]:loop_b\n[loop_b]:loop_a\ncost = 5\n[other]\nhit_power = 0.7\n"},
      {kWeapons + "w_second.ltx", "[wpn_second]:loop_b\ninv_name = wpn_second\n"}},
     "hit_power",
     "",
     "0.7",
     "",
     "other",
     kRifle,
     {{TParentProblem::TKind::Loop, {"loop_a", "loop_b", "loop_a"}}}},
    {"MissingParent",
     {{kRifle, Rifle(":nowhere, other") + "[other]\nhit_power = 0.6\n"}},
     "hit_power",
     "",
     "0.6",
     "",
     "other",
     kRifle,
     {{TParentProblem::TKind::Missing, {"wpn_rifle", "nowhere"}}}},
    {"LetterCaseOfSectionNames",
     {{kRifle, Rifle(":RIFLE_Base") + "[Rifle_BASE]\nHIT_POWER = 0.8\n"}},
     "hit_power",
     "",
     "0.8",
     "",
     "Rifle_BASE",
     kRifle,
     {}},
    {"EmptyInTheChildIsItsOwn",
     {{kRifle, Rifle(":rifle_base", "hit_power =\n") + "[rifle_base]\nhit_power = 0.5\n"}},
     "hit_power",
     "",
     "",
     "",
     "",
     "",
     {}},
    {"NoParentHoldsTheKey",
     {{kRifle, Rifle(":rifle_base") + "[rifle_base]\ncost = 1\n"}},
     "hit_power",
     "",
     "",
     "",
     "",
     "",
     {}},
    {"DefaultOnlyAParentHolds",
     {{kRifle, Rifle(":rifle_base") + "[rifle_base]\nscope_status = 2\n"}},
     "scope_status",
     "0",
     "2",
     "",
     "rifle_base",
     kRifle,
     {}},
    {"DefaultNoParentHolds",
     {{kRifle, Rifle(":rifle_base") + "[rifle_base]\n"}},
     "scope_status",
     "0",
     "0",
     "",
     "",
     "",
     {}},
};

class InheritanceTest : public ::testing::TestWithParam<TInheritCase> {
protected:
    void Load(const std::vector<TFile>& files) {
        for (const TFile& file : files) {
            FGame.Write(file.Rel, file.Bytes);
        }
        FDocument.Load(FGame.Path());
    }

    TParam& Param(const std::string& section, const std::string& key) {
        for (auto& weapon : FDocument.Catalog().Weapons) {
            TParam* found = nullptr;
            weapon->ForEachParam([&](const std::string& name, TParam& param) {
                if (name == key && weapon->Section == section) {
                    found = &param;
                }
            });
            if (found) {
                return *found;
            }
        }
        throw std::runtime_error("no " + key + " in [" + section + "]");
    }

    test::TGameDir FGame;
    TDocument FDocument;
};

TEST_P(InheritanceTest, ShowsWhatTheGameReads) {
    const TInheritCase& c = GetParam();
    Load(c.Files);
    const TParam& param = Param("wpn_rifle", c.Key);
    EXPECT_EQ(param.Value, c.Own);
    const TInheritedValue* inherited = ShownInheritedValue(FDocument.Catalog(), param);
    if (c.Section.empty()) {
        EXPECT_EQ(inherited, nullptr);
    } else {
        ASSERT_NE(inherited, nullptr);
        EXPECT_EQ(inherited->Value, c.Value);
        EXPECT_EQ(inherited->Comment, c.Comment);
        EXPECT_EQ(inherited->Source->Section, c.Section);
        EXPECT_EQ(inherited->Source->File, c.File);
    }
    std::vector<std::pair<TParentProblem::TKind, std::vector<std::string>>> problems, expected;
    for (const TParentProblem& problem : FDocument.Catalog().Inheritance().Problems()) {
        problems.emplace_back(problem.Kind, problem.Sections);
        EXPECT_EQ(problem.File, kRifle);
    }
    for (const TProblem& problem : c.Problems) {
        expected.emplace_back(problem.Kind, problem.Sections);
    }
    EXPECT_THAT(problems, ElementsAreArray(expected));
    // Showing it is no edit.
    EXPECT_FALSE(FDocument.IsModified());
    EXPECT_THAT(FDocument.Changes(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Parents, InheritanceTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// The sample game's Wader names the Heron as its parent and lacks most keys, among them hit_power and the
// defaulted scope_status, which the Heron holds as "2".
class InheritedSaveTest : public test::SampleCopyTest {};

TEST_F(InheritedSaveTest, ShowingChangesNoByteAndATypedValueGoesIntoTheChild) {
    const auto before = FGame.Files();
    TDocument document;
    document.Load(FGame.Path());
    const TCatalog& catalog = document.Catalog();
    TWeapon& wader = *document.Catalog().Weapons.back();
    ASSERT_EQ(wader.Section, "wpn_wader");
    ASSERT_NE(ShownInheritedValue(catalog, wader.hit_power), nullptr);
    ASSERT_NE(ShownInheritedValue(catalog, wader.scope_status), nullptr);
    EXPECT_EQ(ShownInheritedValue(catalog, wader.scope_status)->Value, "2");
    EXPECT_EQ(ShownInheritedValue(catalog, wader.hit_power)->Source->ConfigFile(), "weapons\\w_heron.ltx");
    EXPECT_FALSE(document.IsModified());
    ASSERT_TRUE(document.Save().Ok());
    EXPECT_EQ(FGame.Files(), before);

    document.Edit("hit power", {}, {{&wader.hit_power, "0.5, 0.5, 0.5, 0.5"}});
    EXPECT_EQ(ShownInheritedValue(catalog, wader.hit_power), nullptr);
    EXPECT_EQ(document.Changes().size(), 1u);
    ASSERT_TRUE(document.Save().Ok());
    auto expected = before;
    const std::string waderFile = "gamedata/config/weapons/w_wader.ltx";
    const std::string lastKey = "visual                  = weapons\\heron\\wpn_wader\n";
    std::string& bytes = expected.at(waderFile);
    ASSERT_NE(bytes.find(lastKey), std::string::npos);
    bytes.insert(bytes.find(lastKey) + lastKey.size(), "hit_power=0.5, 0.5, 0.5, 0.5\n");
    EXPECT_EQ(FGame.Files(), expected);
    EXPECT_EQ(ShownInheritedValue(catalog, wader.hit_power), nullptr);
    EXPECT_NE(ShownInheritedValue(catalog, wader.scope_status), nullptr);
}

// An outfit that inherits its immunity link reads the immunities from the section the parent's link names.
TEST_F(InheritedSaveTest, AnInheritedLinkLeadsToItsSection) {
    Replace("gamedata\\config\\misc\\outfit.ltx",
            "fire_wound_protection    = 0.2\nimmunities_sect          = fenwarden_immunities\n",
            "fire_wound_protection    = 0.2\n");
    Replace("gamedata\\config\\misc\\outfit.ltx",
            "immunities_sect          = fenwarden_immunities ; tuned for the swamp gas",
            "immunities_sect          = fenwarden_immunities");
    TDocument document;
    document.Load(FGame.Path());
    const TOutfit& scout = *document.Catalog().Outfits.back();
    ASSERT_EQ(scout.Section, "fenwarden_scout_outfit");
    EXPECT_EQ(scout.Immunity.telepatic.Value, "");
    const TInheritedValue* telepatic = ShownInheritedValue(document.Catalog(), scout.Immunity.telepatic);
    ASSERT_NE(telepatic, nullptr);
    EXPECT_EQ(telepatic->Value, "0.9");
    EXPECT_EQ(telepatic->Source->Section, "fenwarden_immunities");
    EXPECT_EQ(telepatic->Source->File, "gamedata\\config\\misc\\outfit.ltx");
}

} // namespace
} // namespace kw
