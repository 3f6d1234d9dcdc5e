#include "catalog/Catalog.h"

#include "catalog/GameFolder.h"
#include "catalog/KeyLists.h"
#include "catalog/ParamPlaces.h"
#include "gamecfg/FileSys.h"
#include "gamecfg/GameRules.h"

#include <stdexcept>

namespace kw {
namespace {

// What an entry's name, description and picture are looked up in; scopes and grenade launchers have a
// name only, the silencer nothing.
struct TLookup {
    const TStringTable* Names = nullptr;
    const TStringTable* Descriptions = nullptr;
    const TPicIndex* Pictures = nullptr;
};

TLookup Full(const TStringTable& table, const TPicIndex& pictures) {
    return {&table, &table, &pictures};
}

// One index per picture list, built once per load.
struct TPictureIndexes {
    explicit TPictureIndexes(const TPictureLists& lists)
        : Weapon(lists.Weapon), Ammo(lists.Ammo), Outfit(lists.Outfit), Art(lists.Art), Item(lists.Item) {}
    TPicIndex Weapon, Ammo, Outfit, Art, Item;
};

template <class T>
void ReadKeys(T& entry, const ProfileFile& file, const std::string& section, const TKeyList<T>& keys,
              TKeyPlace place) {
    for (const auto& rule : keys.Rules) {
        if (rule.Place != place || rule.Use == TKeyUse::Unused) {
            continue;
        }
        TParam& param = rule.Param.In(entry);
        if (rule.Use == TKeyUse::ShowWhole) {
            ReadParamWhole(param, file, section, rule.Key);
        } else {
            ReadParam(param, file, section, rule.Key, rule.Default);
        }
    }
}

template <class T>
void ReadEntryKeys(T& entry, const ProfileFile& file, const std::string& section, const TKeyList<T>& keys) {
    ReadKeys(entry, file, section, keys, TKeyPlace::Own);
    if (const std::string* linked = LinkedSection(entry, keys, file)) {
        ReadKeys(entry, file, *linked, keys, TKeyPlace::Linked);
    }
}

void Resolve(TMainItem& item, const TLookup& lookup) {
    if (lookup.Names) {
        ResolveName(item, *lookup.Names);
    }
    if (lookup.Descriptions) {
        ResolveDescr(item, *lookup.Descriptions);
    }
    if (lookup.Pictures) {
        ResolvePic(item, *lookup.Pictures);
    }
}

template <class T>
std::unique_ptr<T> ReadEntry(const ProfileFile& file, const std::string& section, const TKeyList<T>& keys,
                             const TLookup& lookup) {
    auto entry = std::make_unique<T>();
    entry->Section = section;
    ReadEntryKeys(*entry, file, section, keys);
    Resolve(*entry, lookup);
    return entry;
}

// An entry that cannot be read is left out; the rest of its catalog still loads.
// What the loader notes of each entry while it is still in the caches.
struct TNotes {
    TSectionReadings Readings;
    TLackingKeys Lacking;

    template <class T> void NoteEntry(T& entry, const ProfileFile& file, const TKeyList<T>& keys) {
        Readings.NoteEntry(entry, file, keys);
        Lacking.NoteEntry(entry, file.Path(), keys, &file);
    }
};

template <class T>
void ReadEntries(std::vector<std::unique_ptr<T>>& into, const ProfileFile& file,
                 const std::vector<std::string>& sections, const TKeyList<T>& keys, const TLookup& lookup,
                 TNotes& notes) {
    for (const auto& section : sections) {
        try {
            into.push_back(ReadEntry(file, section, keys, lookup));
        } catch (const std::exception&) {
            continue;
        }
        notes.NoteEntry(*into.back(), file, keys);
    }
}

std::unique_ptr<TWeapon> ReadWeapon(const std::string& path, const TLookup& lookup, TLackingKeys& lacking) {
    const ProfileFile file(path);
    // The section inside the file is named in the game's code page, whatever the file system uses.
    const std::string fileName = fs::NameAsGameText(FileNamePart(path));
    const std::string section = WeaponSectionForFile(fileName);
    const bool isEntry = IsEntrySection(file, section);
    lacking.NoteFile(file);
    if (!isEntry) {
        return nullptr;
    }
    auto weapon = ReadEntry(file, section, WeaponKeys(), lookup);
    weapon->FileName = kWeaponsFolder + fileName;
    weapon->FilePath = path;
    lacking.NoteEntry(*weapon, weapon->FilePath, WeaponKeys(), nullptr);
    return weapon;
}

void Step(const TCatalog& catalog) {
    if (catalog.OnStep) {
        catalog.OnStep();
    }
}

void ReadWeapons(TCatalog& catalog, const std::vector<std::string>& weaponFiles, const TLookup& lookup,
                 TLackingKeys& lacking) {
    for (const auto& path : weaponFiles) {
        try {
            if (auto weapon = ReadWeapon(path, lookup, lacking)) {
                catalog.Weapons.push_back(std::move(weapon));
            }
        } catch (const std::exception&) {
        }
        Step(catalog);
    }
}

void ReadWeaponsLtx(TCatalog& catalog, const ProfileFile& file, const TStringTables& tables,
                    const TPictureIndexes& pictures, TNotes& notes) {
    const auto sections = ClassifyWeaponsFile(file);
    if (sections.Silencer) {
        try {
            catalog.Silencer = ReadEntry(file, *sections.Silencer, SilencerKeys(), {});
            notes.NoteEntry(*catalog.Silencer, file, SilencerKeys());
        } catch (const std::exception&) {
        }
    }
    const TLookup nameOnly{&tables.Weapon};
    ReadEntries(catalog.Scopes, file, sections.Scopes, ScopeKeys(), nameOnly, notes);
    ReadEntries(catalog.GrenLnchs, file, sections.GrenadeLaunchers, GrenLnchKeys(), nameOnly, notes);
    ReadEntries(catalog.Ammo, file, sections.Ammo, AmmoKeys(), Full(tables.Weapon, pictures.Ammo), notes);
}

void ReadWeather(TCatalog& catalog, const ProfileFile& file, TNotes& notes) {
    for (const auto& slot : WeatherSlots(file)) {
        try {
            auto weather = std::make_unique<TWeather>();
            weather->Time = slot.Time;
            weather->Section = slot.Section;
            ReadEntryKeys(*weather, file, slot.Section, WeatherKeys());
            catalog.Weather.push_back(std::move(weather));
        } catch (const std::exception&) {
            continue;
        }
        notes.NoteEntry(*catalog.Weather.back(), file, WeatherKeys());
    }
}

} // namespace

TCatalog::~TCatalog() {
    Clear();
}

void TCatalog::Clear() {
    // Every save commits or drops its writes; dropping here keeps a failed one from reaching the disk when
    // the file is closed.
    for (auto& file : FFiles) {
        if (file) {
            file->DiscardPending();
        }
        file.reset();
    }
    Weapons.clear();
    Ammo.clear();
    Outfits.clear();
    Arts.clear();
    Items.clear();
    Weather.clear();
    Scopes.clear();
    GrenLnchs.clear();
    Silencer.reset();
    FInheritance.Clear();
    FDiskMarks.Clear();
    FGamePath.clear();
    FRequiredFiles.clear();
    FWeaponFiles.clear();
}

void LoadCatalogs(TCatalog& catalog, const std::string& gamePath,
                  const std::vector<std::string>& requiredFiles, std::vector<std::string>& weaponFiles,
                  const TStringTables& tables, const TPictureLists& pictures) {
    if (requiredFiles.size() != TCatalog::CategoryFileCount) {
        throw std::invalid_argument("LoadCatalogs needs the five category files");
    }
    catalog.Clear();
    catalog.FGamePath = gamePath;
    catalog.FRequiredFiles = requiredFiles;
    StrikeExcludedWeaponFiles(weaponFiles);
    catalog.FWeaponFiles = weaponFiles;

    const TPictureIndexes pictureIndexes(pictures);
    TNotes notes;
    ReadWeapons(catalog, weaponFiles, Full(tables.Weapon, pictureIndexes.Weapon), notes.Lacking);
    for (size_t i = 0; i < requiredFiles.size(); ++i) {
        catalog.FFiles[i] = std::make_unique<ProfileFile>(requiredFiles[i]);
        Step(catalog);
    }
    const auto& files = catalog.FFiles;
    ReadWeaponsLtx(catalog, *files[TCatalog::WeaponsLtx], tables, pictureIndexes, notes);
    ReadEntries(catalog.Outfits, *files[TCatalog::OutfitLtx], OutfitSections(*files[TCatalog::OutfitLtx]),
                OutfitKeys(), Full(tables.Outfit, pictureIndexes.Outfit), notes);
    ReadEntries(catalog.Arts, *files[TCatalog::ArtefactsLtx],
                ArtefactSections(*files[TCatalog::ArtefactsLtx]), ArtKeys(),
                Full(tables.Zone, pictureIndexes.Art), notes);
    ReadEntries(catalog.Items, *files[TCatalog::ItemsLtx], ItemSections(*files[TCatalog::ItemsLtx]),
                ItemKeys(), Full(tables.Equipment, pictureIndexes.Item), notes);
    ReadWeather(catalog, *files[TCatalog::WeatherLtx], notes);
    Step(catalog);
    LinkSharedParams(catalog, notes.Readings);
    Step(catalog);
    for (const auto& file : files) {
        notes.Lacking.NoteFile(*file);
    }
    FindInheritedValues(catalog, notes.Lacking, catalog.FInheritance);

    if (catalog.OnLoaded) {
        catalog.OnLoaded();
    }
}

} // namespace kw
