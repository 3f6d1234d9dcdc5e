#include "catalog/SyntheticGame.h"

#include "catalog/Catalog.h"
#include "catalog/KeyLists.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace kw::test {
namespace {

// Builds one .ltx file the way the game's files look: keys padded to a column, CRLF line ends.
class TLtx {
public:
    TLtx& Comment(const std::string& text) { return Line("; " + text); }
    TLtx& Blank() { return Line(""); }
    TLtx& Section(const std::string& name, const std::string& parents = "") {
        return Line("[" + name + "]" + (parents.empty() ? "" : ":" + parents));
    }
    TLtx& Key(const std::string& key, const std::string& value, const std::string& comment = "") {
        std::string line = key;
        line.resize(std::max<size_t>(key.size() + 1, 24), ' ');
        line += "= " + value;
        if (!comment.empty()) {
            line += "   ; " + comment;
        }
        return Line(line);
    }
    TLtx& Raw(const std::string& line) { return Line(line); }
    const std::string& Text() const { return FText; }

private:
    TLtx& Line(const std::string& line) {
        FText += line + "\r\n";
        return *this;
    }
    std::string FText;
};

std::string Numbered(const char* prefix, int index) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s%04d", prefix, index);
    return buffer;
}

// A number that looks like a game value and differs from entry to entry.
std::string Decimal(int index, int salt) {
    return std::to_string((index * 37 + salt * 11) % 97) + "." + std::to_string((index + salt) % 10);
}

const char* const kDamageKinds[] = {"burn",      "strike",        "shock",     "wound",     "radiation",
                                    "telepatic", "chemical_burn", "explosion", "fire_wound"};

std::string WeaponFile(int i, int count) {
    const std::string name = Numbered("gen", i);
    const std::string section = "wpn_" + name;
    TLtx ltx;
    ltx.Comment("Synthetic weapon " + std::to_string(i) + " of " + std::to_string(count))
        .Comment("Generated for load and save measurements.")
        .Blank()
        .Section(section, "default_weapon_params, weapon_probability")
        .Key("GroupControlSection", "spawn_group")
        .Key("$spawn", "\"weapons\\" + name + "\"")
        .Key("cost", std::to_string(500 + i * 13), "trader price")
        .Key("description", "enc_weapons_" + section + "_descr")
        .Key("inv_name", section)
        .Key("inv_name_short", section + "_s")
        .Key("inv_weight", Decimal(i, 1))
        .Key("inv_grid_width", "3")
        .Key("slot", "2")
        .Blank()
        .Key("ammo_class",
             "ammo_gen" + std::to_string(i % 7) + "_fmj, ammo_gen" + std::to_string(i % 7) + "_ap")
        .Key("ammo_limit", "90")
        .Key("ammo_mag_size", std::to_string(10 + i % 30))
        .Key("fire_modes", "1, -1")
        .Blank()
        .Key("fire_dispersion_base", Decimal(i, 2))
        .Key("fire_dispersion_condition_factor", "2")
        .Key("misfire_probability", "0.00" + std::to_string(1 + i % 9))
        .Key("misfire_condition_k", "0.04", "never written")
        .Key("condition_shot_dec", "0.002")
        .Blank()
        .Key("hit_power", "0.32, 0.32, 0.32, 0.32")
        .Key("hit_impulse", std::to_string(50 + i % 40))
        .Key("hit_type", "fire_wound")
        .Key("fire_distance", std::to_string(100 + i % 900), i % 3 == 0 ? "metres" : "")
        .Key("bullet_speed", std::to_string(300 + i % 600))
        .Key("rpm", std::to_string(200 + i % 600));
    // Some weapons leave these to their parent sections, as the game's files do.
    if (i % 5 != 0) {
        ltx.Key("zoom_enabled", i % 2 ? "true" : "false").Key("scope_zoom_factor", "0");
    }
    ltx.Blank()
        .Key("scope_status", std::to_string(i % 3))
        .Key("silencer_status", std::to_string((i + 1) % 3))
        .Key("grenade_launcher_status", std::to_string((i + 2) % 3))
        .Key("scope_name", i % 3 == 2 ? "wpn_addon_scope_gen0000" : "")
        .Key("silencer_name", "")
        .Key("grenade_launcher_name", "");
    if (i % 7 != 0) {
        ltx.Key("scope_x", "0").Key("scope_y", "0").Key("silencer_x", "0").Key("silencer_y", "0");
    }
    ltx.Key("grenade_launcher_x", "0")
        .Key("grenade_launcher_y", "0")
        .Blank()
        .Key("silencer_hit_power", "0.0, 0.0, 0.0, 0.0")
        .Key("silencer_hit_impulse", "0")
        .Key("silencer_fire_distance", "0")
        .Key("silencer_bullet_speed", "0")
        .Blank()
        .Key("visual", "weapons\\" + name + "\\" + section)
        .Key("position", "-0.026, -0.132, 0.0")
        .Key("hud", section + "_hud")
        .Blank()
        .Section(section + "_hud")
        .Key("hud_visual", "weapons\\" + name + "\\" + section + "_hud")
        .Key("fire_point", "0.0, 0.084, 0.495")
        .Key("shell_point", "0.02, 0.06, 0.1");
    return ltx.Text();
}

std::string WeaponsLtx(const TSyntheticGameSize& size, int scale) {
    TLtx ltx;
    ltx.Comment("Synthetic ammunition and weapon addons.")
        .Blank()
        .Raw("#include \"weapons_base.ltx\"")
        .Blank()
        .Section("wpn_addon_silencer")
        .Key("class", "WP_SILEN")
        .Key("inv_name", "wpn_addon_silencer")
        .Key("description", "enc_weapons_wpn_addon_silencer_descr")
        .Key("cost", "900", "cheaper than in the marsh")
        .Key("inv_weight", "0.2")
        .Blank()
        .Section("wpn_addon_silencer_marsh", "wpn_addon_silencer")
        .Key("inv_name", "wpn_addon_silencer_marsh")
        .Key("cost", "1500")
        .Blank();
    for (int i = 0; i < 3 * scale; ++i) {
        const std::string section = Numbered("wpn_addon_scope_gen", i);
        ltx.Section(section, i == 0 ? "" : "wpn_addon_scope_gen0000")
            .Key("inv_name", section)
            .Key("cost", std::to_string(1000 + i))
            .Key("inv_weight", "0.2")
            .Key("scope_zoom_factor", std::to_string(15 + i % 40), "zoom")
            .Blank();
    }
    for (int i = 0; i < 2 * scale; ++i) {
        const std::string section = Numbered("wpn_addon_grenade_launcher_gen", i);
        ltx.Section(section)
            .Key("inv_name", section)
            .Key("cost", std::to_string(2800 + i))
            .Key("inv_weight", "1.2")
            .Key("grenade_vel", std::to_string(70 + i % 20))
            .Blank();
    }
    ltx.Section("ammo_base")
        .Key("class", "AMMO")
        .Key("k_dist", "1")
        .Key("k_disp", "1")
        .Key("k_hit", "1")
        .Key("k_impulse", "1")
        .Key("k_pierce", "1")
        .Key("impair", "1")
        .Key("buck_shot", "1")
        .Key("box_size", "30")
        .Key("tracer", "off")
        .Key("explosive", "off")
        .Blank();
    for (int i = 0; i < size.Ammo; ++i) {
        const std::string section = Numbered("ammo_gen", i);
        ltx.Section(section, "ammo_base")
            .Key("visual", "weapons\\ammo\\" + section)
            .Key("inv_name", section)
            .Key("description", "enc_weapons_" + section + "_descr")
            .Key("cost", std::to_string(40 + i % 200))
            .Key("inv_weight", "0.15")
            .Key("k_dist", Decimal(i, 3))
            .Key("k_disp", Decimal(i, 4))
            .Key("k_hit", Decimal(i, 5), i % 4 == 0 ? "armour piercing" : "")
            .Key("k_impulse", "1")
            .Key("k_pierce", Decimal(i, 6))
            .Key("impair", "1")
            .Key("box_size", std::to_string(10 + i % 50));
        // The others take buck_shot, tracer and explosive from ammo_base.
        if (i % 3 == 0) {
            ltx.Key("buck_shot", "1").Key("tracer", i % 2 ? "on" : "off").Key("explosive", "off");
        }
        ltx.Blank();
    }
    return ltx.Text();
}

void ImmunitySection(TLtx& ltx, const std::string& section, int index) {
    ltx.Section(section);
    for (int k = 0; k < 9; ++k) {
        ltx.Key(std::string(kDamageKinds[k]) + "_immunity", Decimal(index, k));
    }
    ltx.Blank();
}

std::string OutfitLtx(const TSyntheticGameSize& size) {
    TLtx ltx;
    ltx.Comment("Synthetic outfits.")
        .Blank()
        .Section("outfit_base")
        .Key("class", "E_STLK")
        .Key("inv_grid_width", "2")
        .Blank()
        .Section("without_outfit")
        .Key("inv_name", "without_outfit")
        .Key("immunities_sect", "without_outfit_immunities")
        .Blank();
    ImmunitySection(ltx, "without_outfit_immunities", 0);
    for (int i = 0; i < size.Outfits; ++i) {
        const std::string section = Numbered("gen_outfit_", i);
        ltx.Section(section, "outfit_base")
            .Key("inv_name", section)
            .Key("description", section + "_descr")
            .Key("visual", "actors\\" + section)
            .Key("cost", std::to_string(3000 + i * 7))
            .Key("inv_weight", std::to_string(5 + i % 10));
        for (int k = 0; k < 9; ++k) {
            if ((i + k) % 4 != 0) {
                ltx.Key(std::string(kDamageKinds[k]) + "_protection", Decimal(i, k));
            }
        }
        // Every fifth names its immunities with a comment behind, which no section matches.
        ltx.Key("immunities_sect", section + "_immunities" + (i % 5 == 4 ? "   ; shared" : "")).Blank();
        ImmunitySection(ltx, section + "_immunities", i);
    }
    return ltx.Text();
}

std::string ArtefactsLtx(const TSyntheticGameSize& size) {
    TLtx ltx;
    ltx.Comment("Synthetic artefacts.")
        .Blank()
        .Section("artefact_spawn_zones")
        .Key("mire_field", "af_gen0000, af_gen0001")
        .Blank()
        .Section("af_base")
        .Key("cform", "skeleton")
        .Key("inv_weight", "0.5")
        .Blank()
        .Section("artefact_hud")
        .Key("hud_visual", "weapons\\artefact\\artefact_hud")
        .Blank();
    for (int i = 0; i < size.Artefacts; ++i) {
        const std::string section = Numbered("af_gen", i);
        ltx.Section("af_activation_" + section)
            .Key("starting", "0.2, 0.0, 0.0")
            .Blank()
            .Section(section, "af_base")
            .Key("visual", "physics\\anomaly\\" + section)
            .Key("inv_name", section)
            .Key("description", section + "_descr")
            .Key("cost", std::to_string(3000 + i * 3))
            .Key("health_restore_speed", "0.000" + std::to_string(1 + i % 9))
            .Key("radiation_restore_speed", "-0.0005")
            .Key("satiety_restore_speed", "0")
            .Key("power_restore_speed", "0")
            .Key("bleeding_restore_speed", "0")
            .Key("hit_absorbation_sect", section + "_absorbation", i % 2 ? "linked" : "")
            .Blank();
        ImmunitySection(ltx, section + "_absorbation", i);
    }
    return ltx.Text();
}

std::string ItemsLtx(const TSyntheticGameSize& size) {
    TLtx ltx;
    ltx.Comment("Synthetic food, medicine and gear.")
        .Blank()
        .Section("device_torch")
        .Key("inv_name", "device_torch")
        .Key("cost", "100")
        .Blank()
        .Section("detector_simple")
        .Key("inv_name", "detector_simple")
        .Blank();
    for (int i = 0; i < size.Items; ++i) {
        const std::string section = Numbered("gen_item_", i);
        ltx.Section(section)
            .Key("class", "II_FOOD")
            .Key("visual", "equipments\\" + section)
            .Key("inv_name", section)
            .Key("description", "enc_equipment_" + section + "_descr")
            .Key("cost", std::to_string(40 + i % 300))
            .Key("inv_weight", "0.3")
            .Key("eat_health", Decimal(i, 1))
            .Key("eat_satiety", Decimal(i, 2), i % 3 == 0 ? "filling" : "")
            .Key("eat_power", "0")
            .Key("eat_radiation", "0")
            .Blank();
        if (i % 10 == 0) {
            ltx.Section(section + "_a", section).Key("inv_name", section).Blank();
        }
    }
    return ltx.Text();
}

std::string SlotTime(int slot, int slots) {
    const int seconds = static_cast<int>(static_cast<long long>(slot) * 86400 / slots);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return buffer;
}

std::string WeatherLtx(const TSyntheticGameSize& size) {
    TLtx ltx;
    ltx.Comment("Synthetic weather cycle.").Blank().Section("sect_default_weather");
    for (int i = 0; i < size.WeatherSlots; ++i) {
        ltx.Key(SlotTime(i, size.WeatherSlots), Numbered("gen_wth_", i));
    }
    ltx.Blank();
    for (int i = 0; i < size.WeatherSlots; ++i) {
        ltx.Section(Numbered("gen_wth_", i))
            .Key("sky_texture", "sky\\sky_5_cube")
            .Key("sky_color", "0.04, 0.04, 0.06")
            .Key("clouds_texture", "sky\\clouds_mire")
            .Key("clouds_color", "0.04, 0.04, 0.06, 0.8, 1")
            .Key("fog_distance", std::to_string(100 + i % 500))
            .Key("fog_color", "0.04, 0.04, 0.04")
            .Key("fog_density", "0.6")
            .Key("rain_density", "0")
            .Key("rain_color", "0.6, 0.6, 0.6")
            .Key("thunderbolt", i % 4 == 0 ? "thunderbolt_day" : "")
            .Key("bolt_period", "0")
            .Key("bolt_duration", "0")
            .Key("wind_velocity", std::to_string(i % 12))
            .Key("wind_direction", "0")
            .Key("ambient", "0.04, 0.04, 0.05")
            .Key("sun_color", "0.0, 0.0, 0.0")
            .Key("sun_dir", "-46, 180")
            .Key("env_ambient", "amb_marsh_night")
            .Blank();
    }
    return ltx.Text();
}

// A string table in windows-1251 as the game ships them: every id with a name, every description id with a
// text holding the game's two-character line breaks, and some Cyrillic.
class TTable {
public:
    TTable() { FText = "<?xml version=\"1.0\" encoding=\"windows-1251\" ?>\r\n<string_table>\r\n"; }
    void Add(const std::string& id, const std::string& name, bool described) {
        Entry(id, name + " \xCC\xEA-" + std::to_string(FText.size() % 100));
        if (described) {
            Entry(id + "_descr", "A thing of the marsh.\\n\xCE\xEF\xE8\xF1\xE0\xED\xE8\xE5: " + name +
                                     ".\\nWeight and price as the traders say.");
        }
    }
    std::string Text() const { return FText + "</string_table>\r\n"; }

private:
    void Entry(const std::string& id, const std::string& text) {
        FText += "\t<string id=\"" + id + "\">\r\n\t\t<text>" + text + "</text>\r\n\t</string>\r\n";
    }
    std::string FText;
};

struct TTables {
    TTable Weapons, Outfits, Zone, Equipment;
};

TTables StringTables(const TSyntheticGameSize& size, int scale) {
    TTables tables;
    for (int i = 0; i < size.Weapons; ++i) {
        const std::string section = Numbered("wpn_gen", i);
        tables.Weapons.Add(section, section, false);
        tables.Weapons.Add("enc_weapons_" + section + "_descr", "Gun " + std::to_string(i), false);
    }
    for (int i = 0; i < size.Ammo; ++i) {
        tables.Weapons.Add(Numbered("ammo_gen", i), "Cartridge", false);
        tables.Weapons.Add("enc_weapons_" + Numbered("ammo_gen", i) + "_descr", "Box", false);
    }
    for (int i = 0; i < 3 * scale; ++i) {
        tables.Weapons.Add(Numbered("wpn_addon_scope_gen", i), "Scope", false);
    }
    for (int i = 0; i < size.Outfits; ++i) {
        tables.Outfits.Add(Numbered("gen_outfit_", i), "Suit", true);
    }
    for (int i = 0; i < size.Artefacts; ++i) {
        tables.Zone.Add(Numbered("af_gen", i), "Stone", true);
    }
    for (int i = 0; i < size.Items; ++i) {
        tables.Equipment.Add(Numbered("gen_item_", i), "Food", false);
        tables.Equipment.Add("enc_equipment_" + Numbered("gen_item_", i) + "_descr", "Eat it", false);
    }
    return tables;
}

void Put(const std::string& folder, const std::string& rel, const std::string& bytes) {
    std::string native = rel;
    std::replace(native.begin(), native.end(), '\\', '/');
    const std::filesystem::path path = folder + native;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::string RoundValue(int round, int& counter) {
    return std::to_string(round) + "." + std::to_string(counter++);
}

template <class T>
void EditEntries(std::vector<std::unique_ptr<T>>& entries, const TKeyList<T>& keys, int round, int& counter) {
    for (auto& entry : entries) {
        for (const auto& rule : keys.Rules) {
            TParam& param = rule.Param.In(*entry);
            if (rule.Use == TKeyUse::Edit) {
                param.Value = RoundValue(round, counter);
            } else if (rule.Use == TKeyUse::Status) {
                param.Value = std::to_string((round + counter++) % 3);
            }
        }
    }
}

} // namespace

TSyntheticGameSize SyntheticGameSize(int scale) {
    return {40 * scale, 50 * scale, 20 * scale, 30 * scale, 40 * scale, 24 * scale};
}

std::vector<std::string> WriteSyntheticGame(const std::string& folder, int scale) {
    const TSyntheticGameSize size = SyntheticGameSize(scale);
    std::vector<std::string> written;
    const auto put = [&](const std::string& rel, const std::string& bytes) {
        Put(folder, rel, bytes);
        written.push_back(rel);
    };
    for (int i = 0; i < size.Weapons; ++i) {
        put("gamedata\\config\\weapons\\" + Numbered("w_gen", i) + ".ltx", WeaponFile(i, size.Weapons));
    }
    // Files the loader passes over.
    put("gamedata\\config\\weapons\\w_binoc.ltx", "[wpn_binoc]\r\ninv_name = wpn_binoc\r\ncost = 500\r\n");
    put("gamedata\\config\\weapons\\w_knife.ltx", "[wpn_knife]\r\ninv_name = wpn_knife\r\ncost = 10\r\n");
    // What the weapons leave out comes from a chain of three parent sections, the last of which leads back
    // to the first, as a careless mod's may.
    put("gamedata\\config\\weapons\\weapons_base.ltx",
        "[default_weapon_params]:weapon_class_params\r\nzoom_enabled = true\r\n"
        "[weapon_class_params]:weapon_root_params\r\nscope_zoom_factor = 0\r\n"
        "[weapon_root_params]:default_weapon_params\r\nscope_x = 0\r\nscope_y = 0\r\nsilencer_x = 0\r\n"
        "silencer_y = 0\r\n[weapon_probability]\r\nprobability = 1\r\n");
    put("gamedata\\config\\weapons\\weapons.ltx", WeaponsLtx(size, scale));
    put("gamedata\\config\\misc\\outfit.ltx", OutfitLtx(size));
    put("gamedata\\config\\misc\\artefacts.ltx", ArtefactsLtx(size));
    put("gamedata\\config\\misc\\items.ltx", ItemsLtx(size));
    put("gamedata\\config\\weathers\\weather_default.ltx", WeatherLtx(size));
    put("gamedata\\config\\localization.ltx", "[string_table]\r\nlanguage = eng\r\nfont_prefix = _west\r\n");
    const TTables tables = StringTables(size, scale);
    const std::string text = "gamedata\\config\\text\\eng\\";
    put(text + "string_table_enc_weapons.xml", tables.Weapons.Text());
    put(text + "string_table_outfit.xml", tables.Outfits.Text());
    put(text + "string_table_enc_zone.xml", tables.Zone.Text());
    put(text + "string_table_enc_equipment.xml", tables.Equipment.Text());
    return written;
}

void EditEveryValue(TCatalog& catalog, int round) {
    int counter = 0;
    EditEntries(catalog.Weapons, WeaponKeys(), round, counter);
    EditEntries(catalog.Ammo, AmmoKeys(), round, counter);
    EditEntries(catalog.Outfits, OutfitKeys(), round, counter);
    EditEntries(catalog.Arts, ArtKeys(), round, counter);
    EditEntries(catalog.Items, ItemKeys(), round, counter);
    EditEntries(catalog.Weather, WeatherKeys(), round, counter);
    EditEntries(catalog.Scopes, ScopeKeys(), round, counter);
    EditEntries(catalog.GrenLnchs, GrenLnchKeys(), round, counter);
    if (catalog.Silencer) {
        std::vector<std::unique_ptr<TMainItem>> silencer;
        silencer.push_back(std::move(catalog.Silencer));
        EditEntries(silencer, SilencerKeys(), round, counter);
        catalog.Silencer = std::move(silencer.front());
    }
}

} // namespace kw::test
