#pragma once

#include "catalog/Classes.h"
#include "catalog/DiskMarks.h"
#include "catalog/Inheritance.h"
#include "catalog/OnDisk.h"
#include "catalog/Picture.h"
#include "gamecfg/ProfileFile.h"
#include "gamecfg/StringTable.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kw {

class TCatalog;
struct TParamPlace;
using TParamPlaceVisitor = std::function<void(const TParamPlace&)>;

// requiredFiles: the five category files, full paths, in the order weapons.ltx, outfit.ltx, artefacts.ltx,
// items.ltx, weather_default.ltx. weaponFiles: full paths of the "w_*.ltx" files; the files that hold no
// weapon of their own are struck from the caller's list, so later users of it (the backup) skip them too.
void LoadCatalogs(TCatalog& catalog, const std::string& gamePath,
                  const std::vector<std::string>& requiredFiles, std::vector<std::string>& weaponFiles,
                  const TStringTables& tables, const TPictureLists& pictures);

struct TSaveFailure {
    std::string File;   // UTF-8
    std::string Reason; // UTF-8

    // One line for the user: the reason, with the file in front unless the reason names it already.
    std::string Message() const {
        return Reason.find(File) != std::string::npos ? Reason : File + ": " + Reason;
    }
};

// A key that another program changed since the value shown for it was edited. The save held its file back
// rather than write over that change.
struct TSaveConflict {
    std::string File; // full path as the load had it
    std::string Section;
    std::string Key;
    TParam* Param = nullptr; // valid until the next load
    TOnDisk OnDisk;

    // One line for the user, in English.
    std::string Message() const;
};

struct TSaveReport {
    std::vector<TSaveFailure> Failures;
    std::vector<TSaveConflict> Conflicts; // every file holding one was held back whole
    bool Stopped = false;                 // a category file failed, so the files after it were not written
    bool Ok() const { return Failures.empty() && Conflicts.empty(); }
};

// One value that a save would write: the key, its section, the file (full path as the load had it) and the
// parameter that holds the value. What the file holds now is the parameter's StoredValue() and
// StoredComment() (a key its section lacked: WasPresent() is false). The texts point into the catalog and
// its key lists, and stay valid until the next load.
struct TPendingWrite {
    std::string_view File;
    std::string_view Section;
    std::string_view Key;
    TParam* Param = nullptr;
    TKeyUse Use = TKeyUse::Edit;
};

// What a save would write now, in the order it writes it: every editable value that differs from what its
// file held at the load or the last save, and every key that its section lacked and the user set. An addon
// state is never written as "-1" (none chosen) or empty. Empty right after a load and after a save that wrote
// everything, until something changes. A key that several entries read is listed once, with the first of
// their parameters.
std::vector<TPendingWrite> PendingWrites(TCatalog& catalog);

// Writes what PendingWrites lists into the files of the last load, and nothing else: a file without a
// pending write is not touched. A weapon file that cannot be written is reported
// and passed over; a category file that cannot be written is reported and ends the save. A file that failed
// stays as it was. Just before a file is replaced, each key it writes must still hold what its value was
// edited against; where another program changed one since, the file is held back and the key reported as a
// conflict. Every file written is noted in the catalog's disk marks as it was written.
TSaveReport SaveCatalogs(TCatalog& catalog);

class TCatalog {
public:
    TCatalog() = default;
    ~TCatalog();
    TCatalog(const TCatalog&) = delete;
    TCatalog& operator=(const TCatalog&) = delete;

    std::vector<std::unique_ptr<TWeapon>> Weapons;
    std::vector<std::unique_ptr<TAmmo>> Ammo;
    std::vector<std::unique_ptr<TOutfit>> Outfits;
    std::vector<std::unique_ptr<TArt>> Arts;
    std::vector<std::unique_ptr<TItem>> Items;
    std::vector<std::unique_ptr<TWeather>> Weather;
    std::vector<std::unique_ptr<TScope>> Scopes;
    std::vector<std::unique_ptr<TGrenLnch>> GrenLnchs;
    std::unique_ptr<TMainItem> Silencer;

    // Called when a load has filled every collection.
    std::function<void()> OnLoaded;
    // Called between the files of a load or a save, so that a window can show that the work goes on.
    std::function<void()> OnStep;

    // Where the last load read from; a save writes there and nowhere else, even after another folder was
    // chosen. Empty before the first load.
    const std::string& GamePath() const { return FGamePath; }
    const std::vector<std::string>& RequiredFiles() const { return FRequiredFiles; }
    const std::vector<std::string>& WeaponFiles() const { return FWeaponFiles; }
    // What the last load found that parent sections supply for keys the entries' sections lack.
    const TInheritance& Inheritance() const { return FInheritance; }
    // Every file the last load read, as it was read or as a save since wrote it.
    TDiskMarks& DiskMarks() { return FDiskMarks; }
    const TDiskMarks& DiskMarks() const { return FDiskMarks; }

    enum TCategoryFile { WeaponsLtx, OutfitLtx, ArtefactsLtx, ItemsLtx, WeatherLtx, CategoryFileCount };

private:
    friend void LoadCatalogs(TCatalog&, const std::string&, const std::vector<std::string>&,
                             std::vector<std::string>&, const TStringTables&, const TPictureLists&);
    friend TSaveReport SaveCatalogs(TCatalog&);
    friend void ForEachParamPlace(TCatalog&, const TParamPlaceVisitor&);
    friend void ForEachHeldParamPlace(TCatalog&, const std::function<bool(const void*)>&,
                                      const TParamPlaceVisitor&);
    friend const ProfileFile* HeldCategoryFile(const TCatalog&, TCategoryFile);

    void Clear();

    std::string FGamePath;
    std::vector<std::string> FRequiredFiles;
    std::vector<std::string> FWeaponFiles;
    // Held open from one load to the next, so each is parsed once per load and the saver writes through
    // the same objects.
    std::array<std::unique_ptr<ProfileFile>, CategoryFileCount> FFiles;
    TInheritance FInheritance;
    TDiskMarks FDiskMarks;
};

// The category file the load read, as the saver writes it; none before a load.
const ProfileFile* HeldCategoryFile(const TCatalog& catalog, TCatalog::TCategoryFile file);

} // namespace kw
