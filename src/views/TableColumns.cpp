#include "views/TableColumns.h"

namespace kw {

namespace {

constexpr TColumnDef kWeaponColumns[] = {
    {"rs_Weapons_Name", "название"},
    {"rs_Weapons_fire_dispersion_base", "разброс"},
    {"rs_Weapons_misfire_probability", "осечка"},
    {"rs_Weapons_fire_distance", "дистанция"},
    {"rs_Weapons_bullet_speed", "скор."},
    {"rs_Weapons_rpm", "выс./м"},
    {"rs_Weapons_ammo_mag_size", "обойма"},
    {"rs_Weapons_hit_impulse", "убой."},
    {"rs_Weapons_hit_power", "урон"},
    {"rs_Weapons_scope_zoom_factor", "FOV"},
    {"rs_Weapons_Weight", "вес"},
    {"rs_Weapons_Price", "цена"},
};

// Columns 1-2 and 3-4 stand in the opposite order to the entry's fields.
constexpr TColumnDef kAmmoColumns[] = {
    {"rs_Ammo_Name", "название"},  {"rs_Ammo_k_disp", "разброс"},  {"rs_Ammo_k_dist", "дистанция"},
    {"rs_Ammo_k_impulse", "удар"}, {"rs_Ammo_k_hit", "урон"},      {"rs_Ammo_k_pierce", "проник."},
    {"rs_Ammo_impair", "брон."},   {"rs_Ammo_buck_shot", "дробь"}, {"rs_Ammo_box_size", "упак."},
    {"rs_Ammo_Weight", "вес"},     {"rs_Ammo_Price", "цена"},
};

constexpr TColumnDef kOutfitColumns[] = {
    {"rs_Outfits_Name", "название"},
    {"rs_Outfits_burn_protection", "ожог"},
    {"rs_Outfits_strike_protection", "удар"},
    {"rs_Outfits_shock_protection", "шок"},
    {"rs_Outfits_wound_protection", "раз."},
    {"rs_Outfits_radiation_protection", "рад."},
    {"rs_Outfits_telepatic_protection", "тел."},
    {"rs_Outfits_chemical_burn_protection", "хим."},
    {"rs_Outfits_explosion_protection", "взрыв"},
    {"rs_Outfits_fire_wound_protection", "огн."},
    {"rs_Outfits_burn_immunity", "-ожог"},
    {"rs_Outfits_strike_immunity", "-удар"},
    {"rs_Outfits_shock_immunity", "-шок"},
    {"rs_Outfits_wound_immunity", "-раз."},
    {"rs_Outfits_radiation_immunity", "-рад."},
    {"rs_Outfits_telepatic_immunity", "-тел."},
    {"rs_Outfits_chemical_burn_immunity", "-хим."},
    {"rs_Outfits_explosion_immunity", "-взрыв"},
    {"rs_Outfits_fire_wound_immunity", "-огн."},
    {"rs_Outfits_Weight", "вес"},
    {"rs_Outfits_Price", "цена"},
};

// The artefact immunity keys name "immunity" before the kind, unlike the outfit keys.
constexpr TColumnDef kArtColumns[] = {
    {"rs_Arts_Name", "название"},
    {"rs_Arts_health_restore_speed", "здор."},
    {"rs_Arts_radiation_restore_speed", "рад."},
    {"rs_Arts_satiety_restore_speed", "сыт."},
    {"rs_Arts_power_restore_speed", "вынос."},
    {"rs_Arts_bleeding_restore_speed", "зажив."},
    {"rs_Arts_immunity_burn", "ожог"},
    {"rs_Arts_immunity_strike", "удар"},
    {"rs_Arts_immunity_shock", "шок"},
    {"rs_Arts_immunity_wound", "разр."},
    {"rs_Arts_immunity_radiation", "рад."},
    {"rs_Arts_immunity_telepatic", "тел."},
    {"rs_Arts_immunity_chemical_burn", "хим."},
    {"rs_Arts_immunity_explosion", "взрыв"},
    {"rs_Arts_immunity_fire_wound", "огн."},
    {"rs_Arts_Weight", "вес"},
    {"rs_Arts_Price", "цена"},
};

constexpr TColumnDef kItemColumns[] = {
    {"rs_Items_Name", "название"},
    {"rs_Items_eat_health", "здоровье"},
    {"rs_Items_eat_satiety", "сытость"},
    {"rs_Items_eat_power", "сила"},
    {"rs_Items_eat_radiation", "радиация"},
    {"rs_Items_Weight", "вес"},
    {"rs_Items_Price", "цена"},
};

constexpr TColumnDef kWeatherColumns[] = {
    {"rs_Weather_Name", "время"},
    {"rs_Weather_sky_color", "цвет неба"},
    {"rs_Weather_clouds_color", "цвет обл."},
    {"rs_Weather_fog_distance", "дист. тум."},
    {"rs_Weather_fog_color", "цвет тум."},
    {"rs_Weather_fog_density", "плот. тум."},
    {"rs_Weather_rain_density", "плот. дождя"},
    {"rs_Weather_rain_color", "цвет дождя"},
    {"rs_Weather_wind_velocity", "скор. ветра"},
    {"rs_Weather_wind_direction", "напр. ветра"},
    {"rs_Weather_ambient", "мир"},
    {"rs_Weather_sun_color", "цвет солнца"},
    {"rs_Weather_sun_dir", "напр. солнца"},
    {"rs_Weather_bolt_period", "период. грозы"},
    {"rs_Weather_bolt_duration", "прод. грозы"},
};

} // namespace

const std::array<TGridDef, 6> kGridDefs = {{
    {"sgWeapons", 64, kWeaponColumns},
    {"sgAmmo", 34, kAmmoColumns},
    {"sgOutfits", 34, kOutfitColumns},
    {"sgArts", 34, kArtColumns},
    {"sgItems", 40, kItemColumns},
    {"sgWeather", 40, kWeatherColumns},
}};

} // namespace kw
