#include "gamecfg/GameRules.h"
#include "gamecfg/ProfileFile.h"

#include "catalog/GameDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kw {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class GameRulesTest : public ::testing::Test {
protected:
    ProfileFile& FileOf(const std::string& text) {
        FDir.Write("f.ltx", text);
        FFile = std::make_unique<ProfileFile>(FDir.Path() + "f.ltx");
        return *FFile;
    }

private:
    test::TGameDir FDir;
    std::unique_ptr<ProfileFile> FFile;
};

TEST_F(GameRulesTest, EntryTestWantsOneWordInInvName) {
    const auto& f = FileOf("[phrase]\ninv_name = two words\n"
                           "[missing]\ncost = 5\n"
                           "[comment_only]\ninv_name = ; wpn_ak74\n"
                           "[empty]\ninv_name =\n"
                           "[word_and_comment]\ninv_name = wpn_ak74 ; the rifle\n"
                           "[tab_inside]\ninv_name = wpn\tak74\n"
                           "[cyrillic]\ninv_name = \xE0\xEA\xF1\n"
                           "[inherits]:word_and_comment\ncost = 1\n");
    EXPECT_FALSE(IsEntrySection(f, "phrase"));
    EXPECT_FALSE(IsEntrySection(f, "missing"));
    EXPECT_FALSE(IsEntrySection(f, "comment_only"));
    EXPECT_FALSE(IsEntrySection(f, "empty"));
    EXPECT_FALSE(IsEntrySection(f, "inherits"));
    EXPECT_FALSE(IsEntrySection(f, "no_such_section"));
    EXPECT_TRUE(IsEntrySection(f, "word_and_comment"));
    EXPECT_TRUE(IsEntrySection(f, "tab_inside"));
    EXPECT_TRUE(IsEntrySection(f, "cyrillic"));
}

TEST_F(GameRulesTest, WeaponsFileIsNarrowedStepByStep) {
    const auto& f = FileOf("[wpn_addon_silencer_base]\ninv_name = base silencer\n"
                           "[wpn_addon_silencer]\ninv_name = sil\n"
                           "[ammo_wpn_addon_silencer2]\ninv_name = sil2\n"
                           "[wpn_addon_scope]\ninv_name = scope\n"
                           "[ammo_wpn_addon_scope_x]\ninv_name = scope2\n"
                           "[wpn_addon_scope_susat]\ninv_name = susat\n"
                           "[wpn_addon_grenade_launcher]\ninv_name = gl\n"
                           "[ammo_base]\ninv_name = base\n"
                           "[ammo_5.45x39_fmj]\ninv_name = fmj\n"
                           "[my_ammo_base_2]\ninv_name = base2\n"
                           "[AMMO_upper]\ninv_name = upper\n"
                           "[ammo_phrase]\ninv_name = no id here\n"
                           "[ammo_9x18_pmm]\ninv_name = pmm\n");
    const auto sections = ClassifyWeaponsFile(f);
    EXPECT_EQ(sections.Silencer, "wpn_addon_silencer");
    EXPECT_THAT(sections.Scopes,
                ElementsAre("wpn_addon_scope", "ammo_wpn_addon_scope_x", "wpn_addon_scope_susat"));
    EXPECT_THAT(sections.GrenadeLaunchers, ElementsAre("wpn_addon_grenade_launcher"));
    EXPECT_THAT(sections.Ammo, ElementsAre("ammo_5.45x39_fmj", "ammo_9x18_pmm"));
}

TEST_F(GameRulesTest, WeaponsFileWithoutSilencerEntryHasNone) {
    const auto sections = ClassifyWeaponsFile(FileOf("[wpn_addon_silencer]\ninv_name = a phrase\n"));
    EXPECT_EQ(sections.Silencer, std::nullopt);
    EXPECT_THAT(sections.Ammo, IsEmpty());
}

TEST_F(GameRulesTest, OutfitsArtefactsAndItemsDropTheirSharedSections) {
    EXPECT_THAT(
        OutfitSections(FileOf("[outfit_base]\ninv_name = a\n[sect_x_outfit]\ninv_name = b\n"
                              "[stalker_outfit]\ninv_name = c\n[soldier_outfit_2]\ninv_name = d\n"
                              "[without_outfit]\ninv_name = e\n[military_commander_outfit]\ninv_name=f\n"
                              "[military_duskreach_outfit]\ninv_name = g\n[dolg_outfit]\ninv_name = h\n")),
        ElementsAre("stalker_outfit", "dolg_outfit"));
    EXPECT_THAT(
        ArtefactSections(FileOf("[af_base]\ninv_name = a\n[af_medusa]\ninv_name = b\n"
                                "[af_medusa_absorbation]\ninv_name = c\n[af_activation_x]\ninv_name = d\n"
                                "[artefact_hud]\ninv_name = e\n[artefact_spawn_zones]\ninv_name = f\n")),
        ElementsAre("af_medusa"));
    EXPECT_THAT(
        ItemSections(FileOf("[bread]\ninv_name = a\n[bread_a]\ninv_name = b\n[water_A]\ninv_name = c\n"
                            "[device_torch]\ninv_name = d\n[detector_simple]\ninv_name = e\n"
                            "[kit_phrase]\ninv_name = f g\n")),
        ElementsAre("bread", "water_A"));
}

TEST_F(GameRulesTest, WeatherSlotsKeepTheStoredSectionText) {
    const auto slots =
        WeatherSlots(FileOf("[sect_default_weather]\n0:00:00 = w_0\n12:00:00 = w_12 ; noon\n"));
    ASSERT_EQ(slots.size(), 2u);
    EXPECT_EQ(slots[0].Time, "0:00:00");
    EXPECT_EQ(slots[0].Section, "w_0");
    EXPECT_EQ(slots[1].Time, "12:00:00");
    EXPECT_EQ(slots[1].Section, "w_12 ; noon");
    EXPECT_THAT(WeatherSlots(FileOf("[other]\na = b\n")), IsEmpty());
}

TEST(WeaponFileRulesTest, StrikesExcludedFilesMatchingLetterCase) {
    std::vector<std::string> paths{"/g/w_ak74.ltx",  "/g/w_binoc.ltx", "/g/W_KNIFE.ltx",
                                   "/g/w_knife.ltx", "/g/w_mac10.ltx", "/g/w_usp.ltx"};
    StrikeExcludedWeaponFiles(paths);
    EXPECT_THAT(paths, ElementsAre("/g/w_ak74.ltx", "/g/W_KNIFE.ltx", "/g/w_usp.ltx"));
}

TEST(WeaponFileRulesTest, DerivesTheSectionFromTheFileName) {
    EXPECT_EQ(WeaponSectionForFile("w_ak74.ltx"), "wpn_ak74");
    EXPECT_EQ(WeaponSectionForFile("w_ups.ltx"), "wpn_usp");
    EXPECT_EQ(WeaponSectionForFile("W_UPS.LTX"), "wpn_UPS");
    EXPECT_EQ(WeaponSectionForFile("w_.ltx"), "wpn_");
    EXPECT_EQ(FileNamePart("/games/dh/gamedata\\config\\weapons\\w_ak74.ltx"), "w_ak74.ltx");
    EXPECT_EQ(FileNamePart("/games/dh/w_abakan.ltx"), "w_abakan.ltx");
}

} // namespace
} // namespace kw
