#include "catalog/GameFolder.h"

#include "gamecfg/FileSys.h"
#include "gamecfg/ProfileFile.h"

#include <algorithm>

namespace kw {

const std::array<const char*, 5> kRequiredFiles = {
    "gamedata\\config\\weapons\\weapons.ltx",          "gamedata\\config\\misc\\outfit.ltx",
    "gamedata\\config\\misc\\artefacts.ltx",           "gamedata\\config\\misc\\items.ltx",
    "gamedata\\config\\weathers\\weather_default.ltx",
};

const std::array<const char*, 4> kStringTableFiles = {
    "string_table_enc_weapons.xml",
    "string_table_outfit.xml",
    "string_table_enc_zone.xml",
    "string_table_enc_equipment.xml",
};

const char* const kWeaponsFolder = "gamedata\\config\\weapons\\";
const char* const kDefaultLocalization = "gamedata\\config\\text\\eng\\";
const char* const kLocalizationFile = "gamedata\\config\\localization.ltx";

namespace {

const char* const kTextFolder = "gamedata\\config\\text\\";
const char* const kDefaultLanguage = "eng";

std::string Trimmed(const std::string& text) {
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

// The game itself ignores a comment behind the value, so a folder name must
// not include one.
std::string LanguageOf(const ProfileFile& localization) {
    const std::string stored = localization.ReadString("string_table", "language", kDefaultLanguage);
    const std::string language = Trimmed(stored.substr(0, stored.find(';')));
    return language.empty() ? kDefaultLanguage : language;
}

} // namespace

std::vector<std::string> BuildRequiredFiles(const std::string& gamePath) {
    std::vector<std::string> files;
    for (const char* relative : kRequiredFiles) {
        files.push_back(gamePath + relative);
    }
    return files;
}

std::vector<std::string> MissingFiles(const std::vector<std::string>& files) {
    std::vector<std::string> missing;
    std::copy_if(files.begin(), files.end(), std::back_inserter(missing),
                 [](const std::string& file) { return !fs::FileExists(file); });
    return missing;
}

std::string LocalizationFromGame(const std::string& gamePath) {
    const ProfileFile localization(gamePath + kLocalizationFile);
    return kTextFolder + LanguageOf(localization) + "\\";
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& mask) {
    std::vector<std::string> files;
    for (const std::string& name : fs::ListFiles(folder, mask)) {
        files.push_back(folder + name);
    }
    return files;
}

TLoadPreparation PrepareFullLoad(const std::string& gamePath, bool newFolder,
                                 const std::string& storedLocalization, TStringTables& tables) {
    TLoadPreparation preparation;
    preparation.LocalizationPath = newFolder                    ? LocalizationFromGame(gamePath)
                                   : storedLocalization.empty() ? std::string(kDefaultLocalization)
                                                                : storedLocalization;
    for (const char* name : kStringTableFiles) {
        preparation.StringTableFiles.push_back(gamePath + preparation.LocalizationPath + name);
    }
    TStringTable* const targets[] = {&tables.Weapon, &tables.Outfit, &tables.Zone, &tables.Equipment};
    for (std::size_t i = 0; i < preparation.StringTableFiles.size(); ++i) {
        LoadStringTable(*targets[i], preparation.StringTableFiles[i]);
    }
    preparation.WeaponFiles = ListFiles(gamePath + kWeaponsFolder, "w_*.ltx");
    return preparation;
}

} // namespace kw
