#include "gamecfg/GameRules.h"

#include "gamecfg/AsciiText.h"
#include "gamecfg/CodePage.h"
#include "gamecfg/ProfileFile.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace kw {
namespace {

constexpr std::string_view kSilencer = "wpn_addon_silencer";
constexpr std::string_view kScope = "wpn_addon_scope";
constexpr std::string_view kGrenadeLauncher = "wpn_addon_grenade_launcher";
constexpr std::string_view kAmmoBase = "ammo_base";
constexpr std::string_view kAmmo = "ammo_";

constexpr std::array<std::string_view, 6> kOutfitStrikes{
    "outfit_base",   "without_outfit", "sect_", "military_duskreach_outfit", "military_commander_outfit",
    "soldier_outfit"};
constexpr std::array<std::string_view, 5> kArtefactStrikes{"artefact_spawn_zones", "af_activation_",
                                                           "artefact_hud", "af_base", "_absorbation"};
constexpr std::array<std::string_view, 2> kItemStrikes{"device_", "detector_"};
constexpr std::string_view kSkippedItemEnding = "_a";

constexpr std::array<std::string_view, 3> kExcludedWeaponFiles{"w_binoc.ltx", "w_knife.ltx", "w_mac10.ltx"};

void Strike(std::vector<std::string>& sections, std::string_view part) {
    std::erase_if(sections, [part](const std::string& s) { return NameContains(s, part); });
}

template <class Parts> void StrikeAll(std::vector<std::string>& sections, const Parts& parts) {
    for (auto part : parts) {
        Strike(sections, part);
    }
}

std::vector<std::string> EntriesContaining(const ProfileFile& file, const std::vector<std::string>& sections,
                                           std::string_view part) {
    std::vector<std::string> entries;
    for (const auto& s : sections) {
        if (NameContains(s, part) && IsEntrySection(file, s)) {
            entries.push_back(s);
        }
    }
    return entries;
}

} // namespace

bool NameContains(std::string_view name, std::string_view part) {
    return name.find(part) != std::string_view::npos;
}

bool IsEntrySection(const ProfileFile& file, const std::string& section) {
    const std::string stored = file.ReadString(section, "inv_name", "");
    auto id = StripControls(std::string_view(stored).substr(0, stored.find(';')));
    return !id.empty() && id.find(' ') == std::string_view::npos;
}

TWeaponsFileSections ClassifyWeaponsFile(const ProfileFile& weaponsLtx) {
    TWeaponsFileSections result;
    auto sections = weaponsLtx.ReadSections();
    auto silencers = EntriesContaining(weaponsLtx, sections, kSilencer);
    if (!silencers.empty()) {
        result.Silencer = silencers.front();
    }
    Strike(sections, kSilencer);
    result.Scopes = EntriesContaining(weaponsLtx, sections, kScope);
    Strike(sections, kScope);
    result.GrenadeLaunchers = EntriesContaining(weaponsLtx, sections, kGrenadeLauncher);
    Strike(sections, kGrenadeLauncher);
    Strike(sections, kAmmoBase);
    result.Ammo = EntriesContaining(weaponsLtx, sections, kAmmo);
    return result;
}

std::vector<std::string> OutfitSections(const ProfileFile& outfitLtx) {
    auto sections = outfitLtx.ReadSections();
    StrikeAll(sections, kOutfitStrikes);
    return EntriesContaining(outfitLtx, sections, "");
}

std::vector<std::string> ArtefactSections(const ProfileFile& artefactsLtx) {
    auto sections = artefactsLtx.ReadSections();
    StrikeAll(sections, kArtefactStrikes);
    return EntriesContaining(artefactsLtx, sections, "");
}

std::vector<std::string> ItemSections(const ProfileFile& itemsLtx) {
    auto sections = itemsLtx.ReadSections();
    StrikeAll(sections, kItemStrikes);
    std::erase_if(sections, [](const std::string& s) { return s.ends_with(kSkippedItemEnding); });
    return EntriesContaining(itemsLtx, sections, "");
}

std::vector<TWeatherSlot> WeatherSlots(const ProfileFile& weatherLtx) {
    std::vector<TWeatherSlot> slots;
    for (const auto& line : weatherLtx.ReadSectionValues("sect_default_weather")) {
        auto eq = line.find('=');
        slots.push_back({line.substr(0, eq), eq == std::string::npos ? "" : line.substr(eq + 1)});
    }
    return slots;
}

void StrikeExcludedWeaponFiles(std::vector<std::string>& paths) {
    StrikeAll(paths, kExcludedWeaponFiles);
}

std::string FileNamePart(const std::string& path) {
    auto sep = path.find_last_of("/\\");
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string WeaponSectionForFile(const std::string& fileName) {
    if (fileName == "w_ups.ltx") {
        return "wpn_usp";
    }
    std::string middle = fileName.size() > 6 ? fileName.substr(2, fileName.size() - 6) : "";
    // File names come from the file system in UTF-8; section names are game bytes.
    return "wpn_" + Utf8ToCp1251(middle).value_or(middle);
}

} // namespace kw
