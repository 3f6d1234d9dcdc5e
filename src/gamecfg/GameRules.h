#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the editor assumes about the game's configuration files: which sections are catalog entries and
// which file yields which weapon. Tests on section and file names compare letter case.
namespace kw {

class ProfileFile;

// A section stands for one thing when its "inv_name" is a single-word string-table id; base sections and
// sections of shared values have none or a phrase.
bool IsEntrySection(const ProfileFile& file, const std::string& section);

bool NameContains(std::string_view name, std::string_view part);

struct TWeaponsFileSections {
    std::optional<std::string> Silencer;
    std::vector<std::string> Scopes;
    std::vector<std::string> GrenadeLaunchers;
    std::vector<std::string> Ammo;
};

// Entry sections per category, in file order.
TWeaponsFileSections ClassifyWeaponsFile(const ProfileFile& weaponsLtx);
std::vector<std::string> OutfitSections(const ProfileFile& outfitLtx);
std::vector<std::string> ArtefactSections(const ProfileFile& artefactsLtx);
std::vector<std::string> ItemSections(const ProfileFile& itemsLtx);

struct TWeatherSlot {
    std::string Time;
    std::string Section; // as stored: a comment behind it is part of the name
};
std::vector<TWeatherSlot> WeatherSlots(const ProfileFile& weatherLtx);

// Drops the weapon files that hold no single weapon of their own (binoculars, knife, an unused gun).
void StrikeExcludedWeaponFiles(std::vector<std::string>& paths);

// The last component of a path in either separator form.
std::string FileNamePart(const std::string& path);

// "w_ak74.ltx" holds the section "wpn_ak74"; only "w_ups.ltx" breaks the rule and holds "wpn_usp".
std::string WeaponSectionForFile(const std::string& fileName);

} // namespace kw
