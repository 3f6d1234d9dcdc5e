#include "catalog/KeyLists.h"

#include <array>
#include <utility>

namespace kw {
namespace {

using enum TKeyUse;
using enum TKeyPlace;

// Every parameter field bears the name of its game key, so one name serves both.
#define KW_KEY(name, ...) Key<T>(#name, &T::name __VA_OPT__(, ) __VA_ARGS__)

template <class T>
TKeyRule<T> Key(const char* key, TParam T::*field, TKeyUse use = Edit, const char* def = "") {
    return {key, {field}, use, def, Own};
}

template <class T> using TRules = std::vector<TKeyRule<T>>;

template <class T> TRules<T> Join(std::initializer_list<TRules<T>> parts) {
    TRules<T> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// The keys every entry class shares; the categories differ in which of them they read.
template <class T> TRules<T> MainKeys(TKeyUse name, TKeyUse looks) {
    return {KW_KEY(cost), KW_KEY(inv_weight), KW_KEY(inv_name, name), KW_KEY(description, looks),
            KW_KEY(visual, looks)};
}

constexpr std::array<std::pair<const char*, TParam TImmunity::*>, 9> kDamageKinds{{
    {"burn", &TImmunity::burn},
    {"strike", &TImmunity::strike},
    {"shock", &TImmunity::shock},
    {"wound", &TImmunity::wound},
    {"radiation", &TImmunity::radiation},
    {"telepatic", &TImmunity::telepatic},
    {"chemical_burn", &TImmunity::chemical_burn},
    {"explosion", &TImmunity::explosion},
    {"fire_wound", &TImmunity::fire_wound},
}};

template <class T> TRules<T> ImmunityKeys(TImmunity T::*record, const char* suffix, TKeyPlace place) {
    TRules<T> rules;
    for (const auto& [kind, field] : kDamageKinds) {
        rules.push_back({std::string(kind) + suffix, {nullptr, record, field}, Edit, "", place});
    }
    return rules;
}

} // namespace

const TKeyList<TMainItem>& SilencerKeys() {
    using T = TMainItem;
    static const TKeyList<T> list{MainKeys<T>(Unused, Unused)};
    return list;
}

const TKeyList<TWeapon>& WeaponKeys() {
    using T = TWeapon;
    static const TKeyList<T> list{Join<T>({
        MainKeys<T>(Show, Show),
        {KW_KEY(fire_dispersion_base),
         KW_KEY(fire_dispersion_condition_factor),
         KW_KEY(misfire_probability),
         KW_KEY(misfire_condition_k, Show),
         KW_KEY(condition_shot_dec),
         KW_KEY(fire_distance),
         KW_KEY(bullet_speed),
         KW_KEY(scope_status, Status, "0"),
         KW_KEY(silencer_status, Status, "0"),
         KW_KEY(grenade_launcher_status, Status, "0"),
         KW_KEY(ammo_limit, Show),
         KW_KEY(ammo_mag_size),
         KW_KEY(ammo_class),
         KW_KEY(hit_power),
         KW_KEY(rpm),
         KW_KEY(hit_impulse),
         KW_KEY(zoom_enabled, Edit, "true"),
         KW_KEY(scope_zoom_factor),
         KW_KEY(silencer_name),
         KW_KEY(scope_name),
         KW_KEY(grenade_launcher_name),
         KW_KEY(silencer_hit_power),
         KW_KEY(silencer_hit_impulse),
         KW_KEY(silencer_fire_distance),
         KW_KEY(silencer_bullet_speed),
         KW_KEY(scope_x),
         KW_KEY(scope_y),
         KW_KEY(silencer_x),
         KW_KEY(silencer_y),
         KW_KEY(grenade_launcher_x),
         KW_KEY(grenade_launcher_y)},
    })};
    return list;
}

const TKeyList<TAmmo>& AmmoKeys() {
    using T = TAmmo;
    static const TKeyList<T> list{Join<T>({
        MainKeys<T>(Show, Show),
        {KW_KEY(k_dist), KW_KEY(k_disp), KW_KEY(k_hit), KW_KEY(k_impulse), KW_KEY(k_pierce), KW_KEY(impair),
         KW_KEY(buck_shot), KW_KEY(box_size), KW_KEY(tracer, Edit, "off"), KW_KEY(explosive, Edit, "off")},
    })};
    return list;
}

const TKeyList<TOutfit>& OutfitKeys() {
    using T = TOutfit;
    static const TKeyList<T> list{
        .Rules = Join<T>({
            MainKeys<T>(Show, Show),
            ImmunityKeys<T>(&T::Protection, "_protection", Own),
            ImmunityKeys<T>(&T::Immunity, "_immunity", Linked),
            {KW_KEY(immunities_sect, ShowWhole)},
        }),
        .Link = &T::immunities_sect,
    };
    return list;
}

const TKeyList<TArt>& ArtKeys() {
    using T = TArt;
    static const TKeyList<T> list{
        .Rules = Join<T>({
            MainKeys<T>(Show, Show),
            {KW_KEY(health_restore_speed), KW_KEY(radiation_restore_speed), KW_KEY(satiety_restore_speed),
             KW_KEY(power_restore_speed), KW_KEY(bleeding_restore_speed), KW_KEY(hit_absorbation_sect, Show)},
            ImmunityKeys<T>(&T::Immunity, "_immunity", Linked),
        }),
        .Link = &T::hit_absorbation_sect,
    };
    return list;
}

const TKeyList<TItem>& ItemKeys() {
    using T = TItem;
    static const TKeyList<T> list{Join<T>({
        MainKeys<T>(Show, Show),
        {KW_KEY(eat_health), KW_KEY(eat_satiety), KW_KEY(eat_power), KW_KEY(eat_radiation)},
    })};
    return list;
}

const TKeyList<TScope>& ScopeKeys() {
    using T = TScope;
    static const TKeyList<T> list{Join<T>({MainKeys<T>(Show, Unused), {KW_KEY(scope_zoom_factor)}})};
    return list;
}

const TKeyList<TGrenLnch>& GrenLnchKeys() {
    using T = TGrenLnch;
    static const TKeyList<T> list{Join<T>({MainKeys<T>(Show, Unused), {KW_KEY(grenade_vel)}})};
    return list;
}

const TKeyList<TWeather>& WeatherKeys() {
    using T = TWeather;
    static const TKeyList<T> list{{
        KW_KEY(sky_color),
        KW_KEY(clouds_color),
        KW_KEY(fog_distance),
        KW_KEY(fog_color),
        KW_KEY(fog_density),
        KW_KEY(rain_density),
        KW_KEY(rain_color),
        KW_KEY(thunderbolt),
        KW_KEY(bolt_period),
        KW_KEY(bolt_duration),
        KW_KEY(wind_velocity),
        KW_KEY(wind_direction),
        KW_KEY(ambient),
        KW_KEY(sun_color),
        KW_KEY(sun_dir),
        KW_KEY(env_ambient),
        KW_KEY(sky_texture),
        KW_KEY(clouds_texture),
    }};
    return list;
}

#undef KW_KEY

} // namespace kw
