#include "catalog/SampleGame.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kw {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::Not;

template <class T> std::vector<std::string> SectionsOf(const std::vector<std::unique_ptr<T>>& entries) {
    std::vector<std::string> sections;
    for (const auto& e : entries) {
        sections.push_back(e->Section);
    }
    return sections;
}

// Everything a load produces, as one text to compare loads with.
std::string Dump(TCatalog& catalog) {
    std::string out;
    auto add = [&](auto& entries) {
        for (auto& e : entries) {
            out += "[" + e->Section + "]\n";
            e->ForEachParam(
                [&](const std::string& key, TParam& p) { out += key + "=" + p.Value + p.Comment + "\n"; });
        }
    };
    add(catalog.Weapons);
    add(catalog.Ammo);
    add(catalog.Outfits);
    add(catalog.Arts);
    add(catalog.Items);
    add(catalog.Weather);
    add(catalog.Scopes);
    add(catalog.GrenLnchs);
    if (catalog.Silencer) {
        catalog.Silencer->ForEachParam(
            [&](const std::string& key, TParam& p) { out += key + "=" + p.Value + "\n"; });
    }
    return out;
}

class LoaderTest : public test::SampleGameTest {};

TEST_F(LoaderTest, KeepsTheEntrySectionsOfEveryFile) {
    TCatalog catalog;
    Load(catalog);
    EXPECT_THAT(SectionsOf(catalog.Weapons), ElementsAre("wpn_ak74", "wpn_usp", "wpn_usp"));
    EXPECT_EQ(catalog.Weapons[0]->FileName, "gamedata\\config\\weapons\\w_ak74.ltx");
    EXPECT_EQ(catalog.Weapons[1]->FileName, "gamedata\\config\\weapons\\w_ups.ltx");
    EXPECT_THAT(FWeaponFiles, Each(Not(EndsWith("w_knife.ltx"))));
    EXPECT_EQ(FWeaponFiles.size(), 5u);
    EXPECT_EQ(catalog.WeaponFiles(), FWeaponFiles);

    ASSERT_TRUE(catalog.Silencer);
    EXPECT_EQ(catalog.Silencer->Section, "wpn_addon_silencer");
    EXPECT_THAT(SectionsOf(catalog.Scopes), ElementsAre("wpn_addon_scope"));
    EXPECT_THAT(SectionsOf(catalog.GrenLnchs), ElementsAre("wpn_addon_grenade_launcher"));
    EXPECT_THAT(SectionsOf(catalog.Ammo), ElementsAre("ammo_5.45x39_fmj", "ammo_5.45x39_ap"));
    EXPECT_THAT(SectionsOf(catalog.Outfits), ElementsAre("stalker_outfit", "dolg_outfit", "exo_outfit"));
    EXPECT_THAT(SectionsOf(catalog.Arts), ElementsAre("af_medusa"));
    EXPECT_THAT(SectionsOf(catalog.Items), ElementsAre("bread", "kolbasa"));
    ASSERT_EQ(catalog.Weather.size(), 2u);
    EXPECT_EQ(catalog.Weather[1]->Time, "12:00:00");
    EXPECT_EQ(catalog.Weather[1]->Section, "default_12 ; noon");
    EXPECT_EQ(catalog.GamePath(), FDir.Path());
}

TEST_F(LoaderTest, ResolvesNamesDescriptionsAndPictures) {
    TCatalog catalog;
    Load(catalog);
    const TWeapon& ak = *catalog.Weapons[0];
    EXPECT_EQ(ak.Name, "AK-74");
    EXPECT_EQ(ak.Descr, "Assault rifle");
    EXPECT_EQ(ak.Pic, FPictures.Weapon[0].get());
    EXPECT_EQ(catalog.Weapons[1]->Name, "wpn_usp");
    EXPECT_EQ(catalog.Weapons[1]->Pic, nullptr);
    EXPECT_EQ(catalog.Ammo[0]->Name, "5.45 FMJ");
    EXPECT_EQ(catalog.Ammo[1]->Name, "ammo_5.45x39_ap");
    EXPECT_EQ(catalog.Scopes[0]->Name, "PSO-1");
    EXPECT_EQ(catalog.Scopes[0]->description.Value, "");
    EXPECT_EQ(catalog.Silencer->Name, "");
    EXPECT_EQ(catalog.Silencer->inv_name.Value, "");
    EXPECT_EQ(catalog.Outfits[0]->Name, "Stalker suit");
    EXPECT_EQ(catalog.Arts[0]->Name, "Medusa");
    EXPECT_EQ(catalog.Items[0]->Name, "Bread");
}

TEST_F(LoaderTest, ReadsValuesCommentsAndDefaults) {
    TCatalog catalog;
    Load(catalog);
    const TWeapon& ak = *catalog.Weapons[0];
    EXPECT_EQ(ak.cost.Value, "3500");
    EXPECT_EQ(ak.cost.Comment, "; the price");
    EXPECT_EQ(ak.inv_weight.Value, "3.6");
    EXPECT_EQ(ak.hit_power.Value, "");        // only in the parent section
    EXPECT_EQ(ak.zoom_enabled.Value, "true"); // missing
    EXPECT_EQ(ak.grenade_launcher_status.Value, "0");
    EXPECT_EQ(ak.ammo_class.Value, "ammo_5.45x39_fmj, ammo_5.45x39_ap");
    const TWeapon& ups = *catalog.Weapons[1];
    EXPECT_EQ(ups.fire_distance.Value, "50");
    EXPECT_EQ(ups.fire_distance.Comment, ";tab comment");
    EXPECT_EQ(ups.hit_impulse.Value, "1 2");
    EXPECT_EQ(ups.scope_status.Value, "5");
    EXPECT_EQ(ups.zoom_enabled.Value, "false");
    EXPECT_EQ(catalog.Weapons[2]->fire_distance.Value, "55");

    EXPECT_EQ(catalog.Silencer->cost.Value, "1000");
    EXPECT_EQ(catalog.Scopes[0]->scope_zoom_factor.Value, "25");
    EXPECT_EQ(catalog.GrenLnchs[0]->grenade_vel.Value, "80");
    EXPECT_EQ(catalog.Ammo[0]->tracer.Value, "On");
    EXPECT_EQ(catalog.Ammo[0]->k_hit.Value, "");
    EXPECT_EQ(catalog.Ammo[1]->tracer.Value, "off");
    EXPECT_EQ(catalog.Ammo[1]->k_hit.Comment, "; armour piercing");
}

TEST_F(LoaderTest, FollowsImmunitySectionsOnlyWhereTheyExist) {
    TCatalog catalog;
    Load(catalog);
    const TOutfit& stalker = *catalog.Outfits[0];
    EXPECT_EQ(stalker.Protection.burn.Value, "0.1");
    EXPECT_EQ(stalker.Protection.fire_wound.Value, "0.3");
    EXPECT_EQ(stalker.Immunity.burn.Value, "0.9");
    EXPECT_EQ(stalker.Immunity.strike.Value, "0.8");
    const TOutfit& dolg = *catalog.Outfits[1];
    EXPECT_EQ(dolg.immunities_sect.Value, "dolg_immunities ; shared");
    EXPECT_EQ(dolg.immunities_sect.Comment, "");
    EXPECT_EQ(dolg.Immunity.burn.Value, "");
    EXPECT_EQ(catalog.Outfits[2]->Immunity.burn.Value, "");
    const TArt& medusa = *catalog.Arts[0];
    EXPECT_EQ(medusa.hit_absorbation_sect.Value, "af_medusa_absorbation");
    EXPECT_EQ(medusa.Immunity.burn.Value, "0.95");
    EXPECT_EQ(medusa.health_restore_speed.Value, "0.001");
}

TEST_F(LoaderTest, WeatherSlotsReadTheirOwnSections) {
    TCatalog catalog;
    Load(catalog);
    const TWeather& night = *catalog.Weather[0];
    EXPECT_EQ(night.Time, "0:00:00");
    EXPECT_EQ(night.sky_texture.Value, "sky\\sky_night");
    EXPECT_EQ(night.sky_color.Value, "0.1, 0.1, 0.1");
    // The stored text names no section, so the slot stays empty.
    EXPECT_EQ(catalog.Weather[1]->fog_distance.Value, "");
}

TEST_F(LoaderTest, LoadingAgainGivesTheSameCatalog) {
    TCatalog catalog;
    int loaded = 0;
    catalog.OnLoaded = [&] {
        ++loaded;
        EXPECT_EQ(catalog.Weapons.size(), 3u);
    };
    Load(catalog);
    const std::string first = Dump(catalog);
    Load(catalog);
    EXPECT_EQ(Dump(catalog), first);
    EXPECT_EQ(loaded, 2);
    EXPECT_EQ(catalog.Weapons.size(), 3u);
    EXPECT_EQ(catalog.Outfits.size(), 3u);
}

TEST(LoaderMissingFilesTest, MissingFilesGiveEmptyCatalogs) {
    test::TGameDir dir;
    TCatalog catalog;
    std::vector<std::string> weaponFiles{dir.Path() + "gamedata\\config\\weapons\\w_gone.ltx"};
    LoadCatalogs(catalog, dir.Path(), BuildRequiredFiles(dir.Path()), weaponFiles, {}, {});
    EXPECT_TRUE(catalog.Weapons.empty());
    EXPECT_TRUE(catalog.Ammo.empty());
    EXPECT_FALSE(catalog.Silencer);
    EXPECT_TRUE(catalog.Weather.empty());
    EXPECT_TRUE(SaveCatalogs(catalog).Ok());
}

} // namespace
} // namespace kw
