#pragma once

#include "catalog/Catalog.h"
#include "catalog/GameFolder.h"

#include "catalog/GameDir.h"

#include <gtest/gtest.h>

#include <map>

namespace kw::test {

// A small game folder holding every kind of section the catalog meets: entries, base sections, inherited
// keys, comments, odd blanks, excluded and broken weapon files.
inline const std::map<std::string, std::string>& SampleGameFiles() {
    static const std::map<std::string, std::string> files{
        {"gamedata\\config\\weapons\\w_ak74.ltx", "; assault rifle\r\n"
                                                  "[wpn_ak74_base]\r\n"
                                                  "hit_power = 0.35, 0.35, 0.35, 0.35\r\n"
                                                  "\r\n"
                                                  "[wpn_ak74]:wpn_ak74_base\r\n"
                                                  "inv_name = wpn_ak74\r\n"
                                                  "description = wpn_ak74_descr\r\n"
                                                  "visual = weapons\\ak74\\wpn_ak74\r\n"
                                                  "cost = 3500   ; the price\r\n"
                                                  "inv_weight\t=\t3.6\r\n"
                                                  "fire_dispersion_base = 0.3\r\n"
                                                  "misfire_condition_k = 0.05 ; never written\r\n"
                                                  "ammo_limit = 90\r\n"
                                                  "fire_distance = 1000\r\n"
                                                  "bullet_speed = 900 ; m/s\r\n"
                                                  "ammo_mag_size = 30\r\n"
                                                  "ammo_class = ammo_5.45x39_fmj, ammo_5.45x39_ap\r\n"
                                                  "rpm = 600\r\n"
                                                  "scope_status = 2\r\n"
                                                  "silencer_status = 2\r\n"
                                                  "scope_name = wpn_addon_scope\r\n"
                                                  "scope_x = 12\r\n"},
        {"gamedata\\config\\weapons\\w_ups.ltx", "[wpn_usp]\n"
                                                 "inv_name = wpn_usp\n"
                                                 "cost = 2000\n"
                                                 "fire_distance =  50 \t ;tab comment\n"
                                                 "hit_impulse = 1\t2\n"
                                                 "scope_status = 5\n"
                                                 "zoom_enabled = false\n"},
        {"gamedata\\config\\weapons\\w_usp.ltx",
         "[wpn_usp]\ninv_name = wpn_usp\ncost = 2100\nfire_distance = 55\n"},
        {"gamedata\\config\\weapons\\w_knife.ltx", "[wpn_knife]\ninv_name = wpn_knife\ncost = 10\n"},
        {"gamedata\\config\\weapons\\w_bm16.ltx", "[wpn_bm16]\ninv_name = double barrel\ncost = 10\n"},
        {"gamedata\\config\\weapons\\w_toz34.ltx", "[wpn_toz]\ninv_name = wpn_toz\ncost = 10\n"},
        {"gamedata\\config\\weapons\\weapons.ltx", "[wpn_addon_silencer]\n"
                                                   "inv_name = wpn_sil ; silencer\n"
                                                   "cost = 1000\n"
                                                   "inv_weight = 0.2\n"
                                                   "[wpn_addon_silencer_pb]\n"
                                                   "inv_name = wpn_sil_pb\n"
                                                   "cost = 9\n"
                                                   "[wpn_addon_scope]\n"
                                                   "inv_name = wpn_addon_scope\n"
                                                   "description = wpn_addon_scope_descr\n"
                                                   "cost = 1500\n"
                                                   "scope_zoom_factor = 25\n"
                                                   "[wpn_addon_grenade_launcher]\n"
                                                   "inv_name = wpn_addon_gl\n"
                                                   "grenade_vel = 80\n"
                                                   "[ammo_base]\n"
                                                   "inv_name = ammo_base\n"
                                                   "k_hit = 1\n"
                                                   "[ammo_5.45x39_fmj]:ammo_base\n"
                                                   "inv_name = ammo_5.45x39_fmj\n"
                                                   "description = ammo_5.45x39_fmj_descr\n"
                                                   "cost = 60\n"
                                                   "box_size = 30\n"
                                                   "k_dist = 1\n"
                                                   "tracer = On\n"
                                                   "[ammo_5.45x39_ap]:ammo_base\n"
                                                   "inv_name = ammo_5.45x39_ap\n"
                                                   "cost = 90\n"
                                                   "k_dist = 1.1\n"
                                                   "k_hit = 1.2 ; armour piercing\n"},
        {"gamedata\\config\\misc\\outfit.ltx", "[outfit_base]\n"
                                               "cost = 1\n"
                                               "[sect_outfit]\n"
                                               "inv_name = sect_outfit\n"
                                               "[stalker_outfit]\n"
                                               "inv_name = stalker_outfit\n"
                                               "description = stalker_outfit_descr\n"
                                               "cost = 3000\n"
                                               "inv_weight = 5\n"
                                               "burn_protection = 0.1\n"
                                               "fire_wound_protection = 0.3\n"
                                               "immunities_sect = stalker_immunities\n"
                                               "[stalker_immunities]\n"
                                               "burn_immunity = 0.9\n"
                                               "strike_immunity = 0.8\n"
                                               "[dolg_outfit]\n"
                                               "inv_name = dolg_outfit\n"
                                               "cost = 5000\n"
                                               "immunities_sect = dolg_immunities ; shared\n"
                                               "[dolg_immunities]\n"
                                               "burn_immunity = 0.5\n"
                                               "[exo_outfit]\n"
                                               "inv_name = exo_outfit\n"
                                               "cost = 9000\n"
                                               "immunities_sect = exo_immunities\n"
                                               "[exo_immunities]\n"},
        {"gamedata\\config\\misc\\artefacts.ltx", "[af_base]\n"
                                                  "inv_name = af base\n"
                                                  "[af_medusa]\n"
                                                  "inv_name = af_medusa\n"
                                                  "cost = 4000\n"
                                                  "health_restore_speed = 0.001\n"
                                                  "hit_absorbation_sect = af_medusa_absorbation ; linked\n"
                                                  "[af_medusa_absorbation]\n"
                                                  "burn_immunity = 0.95\n"},
        {"gamedata\\config\\misc\\items.ltx", "[bread]\n"
                                              "inv_name = bread\n"
                                              "cost = 50\n"
                                              "eat_satiety = 0.3\n"
                                              "[bread_a]\n"
                                              "inv_name = bread\n"
                                              "[device_torch]\n"
                                              "inv_name = device_torch\n"
                                              "[kolbasa]\n"
                                              "inv_name = kolbasa\n"
                                              "eat_health = 0.05\n"},
        {"gamedata\\config\\weathers\\weather_default.ltx", "[sect_default_weather]\n"
                                                            "0:00:00 = default_00\n"
                                                            "12:00:00 = default_12 ; noon\n"
                                                            "[default_00]\n"
                                                            "sky_texture = sky\\sky_night\n"
                                                            "sky_color = 0.1, 0.1, 0.1\n"
                                                            "fog_distance = 300\n"
                                                            "[default_12]\n"
                                                            "fog_distance = 900\n"},
    };
    return files;
}

class SampleGameTest : public ::testing::Test {
protected:
    SampleGameTest() {
        for (const auto& [rel, bytes] : SampleGameFiles()) {
            FDir.Write(rel, bytes);
        }
        FTables.Weapon.Append("wpn_ak74", "AK-74");
        FTables.Weapon.Append("wpn_ak74_descr", "Assault rifle");
        FTables.Weapon.Append("wpn_addon_scope", "PSO-1");
        FTables.Weapon.Append("ammo_5.45x39_fmj", "5.45 FMJ");
        FTables.Outfit.Append("stalker_outfit", "Stalker suit");
        FTables.Zone.Append("af_medusa", "Medusa");
        FTables.Equipment.Append("bread", "Bread");
        FPictures.Weapon.push_back(std::make_unique<TPic>());
        FPictures.Weapon.back()->Name = "WPN_AK74";
    }

    void Load(TCatalog& catalog) {
        FWeaponFiles = ListFiles(FDir.Path() + kWeaponsFolder, "w_*.ltx");
        LoadCatalogs(catalog, FDir.Path(), BuildRequiredFiles(FDir.Path()), FWeaponFiles, FTables, FPictures);
    }

    std::map<std::string, std::string> FilesOnDisk() const {
        std::map<std::string, std::string> files;
        for (const auto& [rel, bytes] : SampleGameFiles()) {
            files[rel] = FDir.Read(rel);
        }
        return files;
    }

    TGameDir FDir;
    TStringTables FTables;
    TPictureLists FPictures;
    std::vector<std::string> FWeaponFiles;
};

} // namespace kw::test
