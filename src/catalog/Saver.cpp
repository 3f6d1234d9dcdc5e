#include "catalog/Catalog.h"

#include "catalog/KeyLists.h"
#include "gamecfg/FileSys.h"

#include <array>
#include <utility>

namespace kw {
namespace {

// The writes of one file in one save: committed together, or dropped together when one of them fails, so
// a file is either saved whole or left exactly as it was.
class TFileWrites {
public:
    explicit TFileWrites(ProfileFile& file) : file_(file) {}

    ProfileFile& File() { return file_; }

    void Write(TParam& param, const std::string& section, const std::string& key) {
        WriteParam(param, file_, section, key);
        written_.push_back(&param);
    }

    void Commit() {
        file_.Flush();
        for (TParam* param : written_) {
            param->MarkStored();
        }
    }

private:
    ProfileFile& file_;
    std::vector<TParam*> written_;
};

// Keys the section did not hold stay out of it until the user changes them, so that a save without edits
// never changes what the game reads.
bool ShouldWrite(const TParam& param, TKeyUse use) {
    switch (use) {
    case TKeyUse::Edit:
        return param.NeedsWrite();
    case TKeyUse::Status:
        return param.Value != "-1" && !param.Value.empty() && param.NeedsWrite();
    default:
        return false;
    }
}

template <class T>
void WriteKeys(T& entry, TFileWrites& writes, const std::string& section, const TKeyList<T>& keys,
               TKeyPlace place) {
    for (const auto& rule : keys.Rules) {
        TParam& param = rule.Param.In(entry);
        if (rule.Place == place && ShouldWrite(param, rule.Use)) {
            writes.Write(param, section, rule.Key);
        }
    }
}

// A linked section that has no keys is never created.
template <class T>
void WriteEntry(T& entry, TFileWrites& writes, const std::string& section, const TKeyList<T>& keys) {
    WriteKeys(entry, writes, section, keys, TKeyPlace::Own);
    if (keys.Link) {
        const std::string& linked = (entry.*keys.Link).Value;
        if (!linked.empty() && writes.File().SectionExists(linked)) {
            WriteKeys(entry, writes, linked, keys, TKeyPlace::Linked);
        }
    }
}

template <class T>
void WriteEntries(std::vector<std::unique_ptr<T>>& entries, TFileWrites& writes, const TKeyList<T>& keys) {
    for (auto& entry : entries) {
        WriteEntry(*entry, writes, entry->Section, keys);
    }
}

void WriteWeaponsLtx(TCatalog& catalog, TFileWrites& writes) {
    if (catalog.Silencer) {
        WriteEntry(*catalog.Silencer, writes, catalog.Silencer->Section, SilencerKeys());
    }
    WriteEntries(catalog.Scopes, writes, ScopeKeys());
    WriteEntries(catalog.GrenLnchs, writes, GrenLnchKeys());
    WriteEntries(catalog.Ammo, writes, AmmoKeys());
}

using TCategoryWriter = void (*)(TCatalog&, TFileWrites&);

// In the order of saving; a failing file ends the save there.
const std::array<std::pair<TCatalog::TCategoryFile, TCategoryWriter>, TCatalog::CategoryFileCount>
    kCategorySteps{{
        {TCatalog::WeaponsLtx, WriteWeaponsLtx},
        {TCatalog::OutfitLtx, [](TCatalog& c, TFileWrites& w) { WriteEntries(c.Outfits, w, OutfitKeys()); }},
        {TCatalog::ArtefactsLtx, [](TCatalog& c, TFileWrites& w) { WriteEntries(c.Arts, w, ArtKeys()); }},
        {TCatalog::ItemsLtx, [](TCatalog& c, TFileWrites& w) { WriteEntries(c.Items, w, ItemKeys()); }},
        {TCatalog::WeatherLtx,
         [](TCatalog& c, TFileWrites& w) { WriteEntries(c.Weather, w, WeatherKeys()); }},
    }};

// False when the file could not be written; the failure is reported and the file's writes are dropped.
template <class Fn> bool SaveFile(ProfileFile& file, TSaveReport& report, Fn&& writeEntries) {
    TFileWrites writes(file);
    try {
        writeEntries(writes);
        writes.Commit();
        return true;
    } catch (const std::exception& e) {
        file.DiscardPending();
        report.Failures.push_back({fs::Resolve(file.Path()), e.what()});
        return false;
    }
}

} // namespace

TSaveReport SaveCatalogs(TCatalog& catalog) {
    TSaveReport report;
    if (!catalog.files_[TCatalog::WeaponsLtx]) {
        return report;
    }
    for (auto& weapon : catalog.Weapons) {
        ProfileFile file(catalog.gamePath_ + weapon->FileName);
        SaveFile(file, report,
                 [&](TFileWrites& w) { WriteEntry(*weapon, w, weapon->Section, WeaponKeys()); });
    }
    for (const auto& [index, writeCategory] : kCategorySteps) {
        // A copy: clang before 16 cannot capture a structured binding.
        const TCategoryWriter write = writeCategory;
        if (!SaveFile(*catalog.files_[index], report, [&](TFileWrites& w) { write(catalog, w); })) {
            report.Stopped = true;
            break;
        }
    }
    return report;
}

} // namespace kw
