#include "catalog/GameFolder.h"
#include "catalog/GameDir.h"
#include "gamecfg/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kw {
namespace {

using ::testing::ElementsAre;

std::string Table(const std::string& id, const std::string& text) {
    return "<string_table><string id=\"" + id + "\"><text>" + text + "</text></string></string_table>";
}

class GameFolderTest : public ::testing::Test {
protected:
    test::TGameDir game;
};

TEST_F(GameFolderTest, MissingFilesListsExactlyTheAbsentRequiredFiles) {
    const std::vector<std::string> required = BuildRequiredFiles(game.Path());
    ASSERT_EQ(required.size(), 5u);
    EXPECT_EQ(required[0], game.Path() + "gamedata\\config\\weapons\\weapons.ltx");
    EXPECT_EQ(required[4], game.Path() + "gamedata\\config\\weathers\\weather_default.ltx");
    // Folders copied from Windows keep whatever letter case they had.
    game.Write("GameData\\Config\\Weapons\\WEAPONS.LTX", "");
    for (const char* present : {"GameData\\Config\\Misc\\outfit.ltx", "GameData\\Config\\Misc\\artefacts.ltx",
                                "GameData\\Config\\Misc\\Items.ltx"}) {
        game.Write(present, "");
    }
    EXPECT_THAT(MissingFiles(required), ElementsAre(required[4]));
}

TEST_F(GameFolderTest, LocalizationComesFromTheGamesLanguageKey) {
    const std::string file = "gamedata\\config\\localization.ltx";
    EXPECT_EQ(LocalizationFromGame(game.Path()), "gamedata\\config\\text\\eng\\");
    game.Write(file, "[string_table]\r\nfont_prefix = _west\r\n");
    EXPECT_EQ(LocalizationFromGame(game.Path()), "gamedata\\config\\text\\eng\\");
    game.Write(file, "; texts\n[string_table]\nlanguage = rus\t; or eng\n");
    EXPECT_EQ(LocalizationFromGame(game.Path()), "gamedata\\config\\text\\rus\\");
}

TEST_F(GameFolderTest, ListFilesSortsMatchesRegardlessOfCase) {
    for (const char* name : {"w_pike.ltx", "W_Heron.LTX", "w_ak.ltx", "weapons.ltx", "w_notes.txt"}) {
        game.Write(std::string("weapons\\") + name, "");
    }
    const std::string folder = game.Path() + "weapons/";
    EXPECT_THAT(ListFiles(folder, "w_*.ltx"),
                ElementsAre(folder + "w_ak.ltx", folder + "W_Heron.LTX", folder + "w_pike.ltx"));
    EXPECT_TRUE(ListFiles(game.Path() + "absent/", "w_*.ltx").empty());
}

TEST_F(GameFolderTest, PreparationReadsTheChosenLanguageAndListsWeaponFiles) {
    game.Write("gamedata\\config\\localization.ltx", "[string_table]\nlanguage = rus\n");
    game.Write("gamedata\\config\\text\\rus\\string_table_enc_weapons.xml", Table("wpn_a", "rus weapon"));
    game.Write("gamedata\\config\\text\\rus\\string_table_enc_equipment.xml", Table("bread", "rus bread"));
    game.Write("gamedata\\config\\text\\eng\\string_table_enc_weapons.xml", Table("wpn_a", "eng weapon"));
    game.Write("gamedata\\config\\weapons\\w_b.ltx", "");
    game.Write("gamedata\\config\\weapons\\w_a.ltx", "");

    TStringTables tables;
    TLoadPreparation chosen = PrepareFullLoad(game.Path(), true, "gamedata\\config\\text\\eng\\", tables);
    EXPECT_EQ(chosen.LocalizationPath, "gamedata\\config\\text\\rus\\");
    EXPECT_EQ(chosen.StringTableFiles.at(1),
              game.Path() + "gamedata\\config\\text\\rus\\string_table_outfit.xml");
    EXPECT_EQ(tables.Weapon.Line(0), "wpn_a=rus weapon");
    EXPECT_EQ(tables.Outfit.Count(), 0);
    EXPECT_EQ(tables.Equipment.Line(0), "bread=rus bread");
    const std::string weapons = game.Path() + "gamedata\\config\\weapons\\";
    EXPECT_THAT(chosen.WeaponFiles, ElementsAre(weapons + "w_a.ltx", weapons + "w_b.ltx"));

    TLoadPreparation stored = PrepareFullLoad(game.Path(), false, "gamedata\\config\\text\\eng\\", tables);
    EXPECT_EQ(stored.LocalizationPath, "gamedata\\config\\text\\eng\\");
    EXPECT_EQ(tables.Weapon.Line(0), "wpn_a=eng weapon");
    EXPECT_EQ(tables.Equipment.Count(), 0);
}

TEST_F(GameFolderTest, MalformedTableStopsThePreparationAfterTheTablesBefore) {
    game.Write("gamedata\\config\\text\\eng\\string_table_enc_weapons.xml", Table("wpn_a", "weapon"));
    game.Write("gamedata\\config\\text\\eng\\string_table_enc_zone.xml", "<string_table>");
    game.Write("gamedata\\config\\text\\eng\\string_table_enc_equipment.xml", Table("bread", "bread"));
    TStringTables tables;
    EXPECT_THROW(PrepareFullLoad(game.Path(), true, "", tables), Error);
    EXPECT_EQ(tables.Weapon.Count(), 1);
    EXPECT_EQ(tables.Equipment.Count(), 0);
}

} // namespace
} // namespace kw
