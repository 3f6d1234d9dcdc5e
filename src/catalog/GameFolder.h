#pragma once

#include "gamecfg/StringTable.h"

#include <array>
#include <string>
#include <vector>

// The widget-free half of a full load: which files a game folder must hold,
// where its string tables lie and which weapon files it has. Game-relative
// paths keep the game's backslash form; kw::fs converts them on use.
namespace kw {

// The five category files, in the order the loader expects them.
extern const std::array<const char*, 5> kRequiredFiles;
// Weapons, outfits, zone (artefacts), equipment (items), in this order.
extern const std::array<const char*, 4> kStringTableFiles;
extern const char* const kWeaponsFolder;
// Where a game names its string-table language.
extern const char* const kLocalizationFile;
extern const char* const kDefaultLocalization;

std::vector<std::string> BuildRequiredFiles(const std::string& gamePath);
std::vector<std::string> MissingFiles(const std::vector<std::string>& files);

// "gamedata\config\text\" + the game's [string_table] language (default
// "eng") + "\", taken from its localization.ltx; a comment behind the value
// is not part of the language.
std::string LocalizationFromGame(const std::string& gamePath);

// folder + name of every file matching mask, sorted by name regardless of
// letter case; a missing folder gives an empty list.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& mask);

struct TLoadPreparation {
    std::string LocalizationPath;
    std::vector<std::string> StringTableFiles;
    std::vector<std::string> WeaponFiles;
};

// Everything a full load does before the catalogs are read: the localization
// folder (the game's own choice for a newly chosen folder, else the stored
// one), the four string tables read in order, and the weapon file list.
// A malformed string table throws kw::Error; the tables read before it stay
// filled.
TLoadPreparation PrepareFullLoad(const std::string& gamePath, bool newFolder,
                                 const std::string& storedLocalization, TStringTables& tables);

} // namespace kw
