#include "interchange/TableColumns.h"

#include <cstring>

namespace kw {

namespace {

constexpr TColumnDef kWeaponColumns[] = {
    {"rs_Weapons_Name", "название", nullptr},
    {"rs_Weapons_fire_dispersion_base", "разброс", "fire_dispersion_base"},
    {"rs_Weapons_misfire_probability", "осечка", "misfire_probability"},
    {"rs_Weapons_fire_distance", "дистанция", "fire_distance"},
    {"rs_Weapons_bullet_speed", "скор.", "bullet_speed"},
    {"rs_Weapons_rpm", "выс./м", "rpm"},
    {"rs_Weapons_ammo_mag_size", "обойма", "ammo_mag_size"},
    {"rs_Weapons_hit_impulse", "убой.", "hit_impulse"},
    {"rs_Weapons_hit_power", "урон", "hit_power"},
    {"rs_Weapons_scope_zoom_factor", "FOV", "scope_zoom_factor"},
    {"rs_Weapons_Weight", "вес", "inv_weight"},
    {"rs_Weapons_Price", "цена", "cost"},
};

// Columns 1-2 and 3-4 stand in the opposite order to the entry's fields.
constexpr TColumnDef kAmmoColumns[] = {
    {"rs_Ammo_Name", "название", nullptr},     {"rs_Ammo_k_disp", "разброс", "k_disp"},
    {"rs_Ammo_k_dist", "дистанция", "k_dist"}, {"rs_Ammo_k_impulse", "удар", "k_impulse"},
    {"rs_Ammo_k_hit", "урон", "k_hit"},        {"rs_Ammo_k_pierce", "проник.", "k_pierce"},
    {"rs_Ammo_impair", "брон.", "impair"},     {"rs_Ammo_buck_shot", "дробь", "buck_shot"},
    {"rs_Ammo_box_size", "упак.", "box_size"}, {"rs_Ammo_Weight", "вес", "inv_weight"},
    {"rs_Ammo_Price", "цена", "cost"},
};

constexpr TColumnDef kOutfitColumns[] = {
    {"rs_Outfits_Name", "название", nullptr},
    {"rs_Outfits_burn_protection", "ожог", "burn_protection"},
    {"rs_Outfits_strike_protection", "удар", "strike_protection"},
    {"rs_Outfits_shock_protection", "шок", "shock_protection"},
    {"rs_Outfits_wound_protection", "раз.", "wound_protection"},
    {"rs_Outfits_radiation_protection", "рад.", "radiation_protection"},
    {"rs_Outfits_telepatic_protection", "тел.", "telepatic_protection"},
    {"rs_Outfits_chemical_burn_protection", "хим.", "chemical_burn_protection"},
    {"rs_Outfits_explosion_protection", "взрыв", "explosion_protection"},
    {"rs_Outfits_fire_wound_protection", "огн.", "fire_wound_protection"},
    {"rs_Outfits_burn_immunity", "-ожог", "burn_immunity"},
    {"rs_Outfits_strike_immunity", "-удар", "strike_immunity"},
    {"rs_Outfits_shock_immunity", "-шок", "shock_immunity"},
    {"rs_Outfits_wound_immunity", "-раз.", "wound_immunity"},
    {"rs_Outfits_radiation_immunity", "-рад.", "radiation_immunity"},
    {"rs_Outfits_telepatic_immunity", "-тел.", "telepatic_immunity"},
    {"rs_Outfits_chemical_burn_immunity", "-хим.", "chemical_burn_immunity"},
    {"rs_Outfits_explosion_immunity", "-взрыв", "explosion_immunity"},
    {"rs_Outfits_fire_wound_immunity", "-огн.", "fire_wound_immunity"},
    {"rs_Outfits_Weight", "вес", "inv_weight"},
    {"rs_Outfits_Price", "цена", "cost"},
};

// The artefact immunity keys name "immunity" before the kind, unlike the outfit keys.
constexpr TColumnDef kArtColumns[] = {
    {"rs_Arts_Name", "название", nullptr},
    {"rs_Arts_health_restore_speed", "здор.", "health_restore_speed"},
    {"rs_Arts_radiation_restore_speed", "рад.", "radiation_restore_speed"},
    {"rs_Arts_satiety_restore_speed", "сыт.", "satiety_restore_speed"},
    {"rs_Arts_power_restore_speed", "вынос.", "power_restore_speed"},
    {"rs_Arts_bleeding_restore_speed", "зажив.", "bleeding_restore_speed"},
    {"rs_Arts_immunity_burn", "ожог", "burn_immunity"},
    {"rs_Arts_immunity_strike", "удар", "strike_immunity"},
    {"rs_Arts_immunity_shock", "шок", "shock_immunity"},
    {"rs_Arts_immunity_wound", "разр.", "wound_immunity"},
    {"rs_Arts_immunity_radiation", "рад.", "radiation_immunity"},
    {"rs_Arts_immunity_telepatic", "тел.", "telepatic_immunity"},
    {"rs_Arts_immunity_chemical_burn", "хим.", "chemical_burn_immunity"},
    {"rs_Arts_immunity_explosion", "взрыв", "explosion_immunity"},
    {"rs_Arts_immunity_fire_wound", "огн.", "fire_wound_immunity"},
    {"rs_Arts_Weight", "вес", "inv_weight"},
    {"rs_Arts_Price", "цена", "cost"},
};

constexpr TColumnDef kItemColumns[] = {
    {"rs_Items_Name", "название", nullptr},
    {"rs_Items_eat_health", "здоровье", "eat_health"},
    {"rs_Items_eat_satiety", "сытость", "eat_satiety"},
    {"rs_Items_eat_power", "сила", "eat_power"},
    {"rs_Items_eat_radiation", "радиация", "eat_radiation"},
    {"rs_Items_Weight", "вес", "inv_weight"},
    {"rs_Items_Price", "цена", "cost"},
};

constexpr TColumnDef kWeatherColumns[] = {
    {"rs_Weather_Name", "время", nullptr},
    {"rs_Weather_sky_color", "цвет неба", "sky_color"},
    {"rs_Weather_clouds_color", "цвет обл.", "clouds_color"},
    {"rs_Weather_fog_distance", "дист. тум.", "fog_distance"},
    {"rs_Weather_fog_color", "цвет тум.", "fog_color"},
    {"rs_Weather_fog_density", "плот. тум.", "fog_density"},
    {"rs_Weather_rain_density", "плот. дождя", "rain_density"},
    {"rs_Weather_rain_color", "цвет дождя", "rain_color"},
    {"rs_Weather_wind_velocity", "скор. ветра", "wind_velocity"},
    {"rs_Weather_wind_direction", "напр. ветра", "wind_direction"},
    {"rs_Weather_ambient", "мир", "ambient"},
    {"rs_Weather_sun_color", "цвет солнца", "sun_color"},
    {"rs_Weather_sun_dir", "напр. солнца", "sun_dir"},
    {"rs_Weather_bolt_period", "период. грозы", "bolt_period"},
    {"rs_Weather_bolt_duration", "прод. грозы", "bolt_duration"},
};

} // namespace

const std::array<TGridDef, kGridCount> kGridDefs = {{
    {TGridId::Weapons, "sgWeapons", 64, "weapons", "rs_ExportWeaponsTitle", "Оружие", kWeaponColumns},
    {TGridId::Ammo, "sgAmmo", 34, "ammo", "rs_ExportAmmoTitle", "Боеприпасы", kAmmoColumns},
    {TGridId::Outfits, "sgOutfits", 34, "outfits", "rs_ExportOutfitsTitle", "Бронежилеты", kOutfitColumns},
    {TGridId::Arts, "sgArts", 34, "arts", "rs_ExportArtsTitle", "Артефакты", kArtColumns},
    {TGridId::Items, "sgItems", 40, "items", "rs_ExportItemsTitle", "Еда и медикаменты", kItemColumns},
    {TGridId::Weather, "sgWeather", 40, "weather", "rs_ExportWeatherTitle", "Погода", kWeatherColumns},
}};

const TGridDef* FindGridByCatalog(const char* name) {
    for (const TGridDef& grid : kGridDefs) {
        if (std::strcmp(grid.CatalogName, name) == 0) {
            return &grid;
        }
    }
    return nullptr;
}

} // namespace kw
