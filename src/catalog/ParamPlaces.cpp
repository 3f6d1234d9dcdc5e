#include "catalog/ParamPlaces.h"

#include "gamecfg/AsciiText.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kw {
namespace {

template <class T>
void VisitKeys(T& entry, const std::string& file, const ProfileFile* held, const std::string& section,
               const TKeyList<T>& keys, TKeyPlace place, const TParamPlaceVisitor& visit) {
    for (const auto& rule : keys.Rules) {
        if (rule.Place == place && rule.Use != TKeyUse::Unused) {
            visit(TParamPlace{file, held, section, rule.Key, rule.Use, rule.Param.In(entry)});
        }
    }
}

// A linked section without keys was never read and is never created.
template <class T>
void VisitEntry(T& entry, const std::string& file, const ProfileFile* held, const std::string& section,
                const TKeyList<T>& keys, const TParamPlaceVisitor& visit) {
    VisitKeys(entry, file, held, section, keys, TKeyPlace::Own, visit);
    if (const std::string* linked = held ? LinkedSection(entry, keys, *held) : nullptr) {
        VisitKeys(entry, file, held, *linked, keys, TKeyPlace::Linked, visit);
    }
}

template <class T>
void VisitEntries(std::vector<std::unique_ptr<T>>& entries, const std::string& file, const ProfileFile* held,
                  const TKeyList<T>& keys, const TParamPlaceVisitor& visit, const TEntryFilter& only = {}) {
    for (auto& entry : entries) {
        if (!only || only(entry.get())) {
            VisitEntry(*entry, file, held, entry->Section, keys, visit);
        }
    }
}

// Section and key regardless of ASCII letter case, as the profile file matches them, without building a
// text per parameter: a load links hundreds of thousands of them.
size_t PlaceHash(std::string_view section, std::string_view key) {
    size_t hash = 14695981039346656037ull;
    const auto add = [&hash](std::string_view text) {
        for (const char c : text) {
            hash = (hash ^ static_cast<unsigned char>(LowerAscii(c))) * 1099511628211ull;
        }
        hash = (hash ^ 0xFFu) * 1099511628211ull;
    };
    add(section);
    add(key);
    return hash;
}

bool SamePlace(const TParamPlace& a, const TParamPlace& b) {
    return &a.File == &b.File && EqualIgnoringAsciiCase(a.Section, b.Section) &&
           EqualIgnoringAsciiCase(a.Key, b.Key);
}

// The places seen so far of one file; the texts they point into live in the catalog.
class TPlaceIndex {
public:
    // The parameter first seen at this place, or none when the place is new (it is remembered then).
    TParam* FirstAt(const TParamPlace& place) {
        const auto [first, last] = FPlaces.equal_range(PlaceHash(place.Section, place.Key));
        for (auto it = first; it != last; ++it) {
            if (SamePlace(it->second, place)) {
                return &it->second.Param;
            }
        }
        FPlaces.emplace(PlaceHash(place.Section, place.Key), place);
        return nullptr;
    }

private:
    std::unordered_multimap<size_t, TParamPlace> FPlaces;
};

// The same look-up by section first. A load links hundreds of thousands of parameters that live in some ten
// thousand sections, and the keys of one section come one after another; so a section is looked up once per
// entry that reads it, and its keys are searched only when a second entry reads the section.
class TSectionIndex {
public:
    TParam* FirstAt(const TParamPlace& place) {
        TSectionKeys& section = SectionOf(place);
        if (section.FirstReader != &place.Section) {
            for (const auto& [key, param] : section.Keys) {
                if (EqualIgnoringAsciiCase(*key, place.Key)) {
                    return param;
                }
            }
        }
        section.Keys.emplace_back(&place.Key, &place.Param);
        return nullptr;
    }

private:
    struct TSectionKeys {
        const std::string* File;
        const std::string* FirstReader; // the section text of the entry that read the section first
        std::vector<std::pair<const std::string*, TParam*>> Keys;
    };

    TSectionKeys& SectionOf(const TParamPlace& place) {
        if (FLast && FLast->File == &place.File && FLastText == &place.Section) {
            return *FLast;
        }
        const size_t hash = PlaceHash(place.Section, {});
        const auto [first, end] = FSections.equal_range(hash);
        FLast = nullptr;
        for (auto it = first; it != end && !FLast; ++it) {
            const TSectionKeys& known = it->second;
            if (known.File == &place.File && EqualIgnoringAsciiCase(*known.FirstReader, place.Section)) {
                FLast = &it->second;
            }
        }
        if (!FLast) {
            FLast = &FSections.emplace(hash, TSectionKeys{&place.File, &place.Section, {}})->second;
            FLast->Keys.reserve(kKeysPerSection);
        }
        FLastText = &place.Section;
        return *FLast;
    }

    // Room for the keys an entry class reads from one section, so that the list is allocated once.
    static constexpr size_t kKeysPerSection = 16;

    std::unordered_multimap<size_t, TSectionKeys> FSections;
    TSectionKeys* FLast = nullptr;
    const std::string* FLastText = nullptr;
};

} // namespace

bool WouldWrite(const TParam& param, TKeyUse use) {
    switch (use) {
    case TKeyUse::Edit:
        return param.NeedsWrite();
    case TKeyUse::Status:
        return param.Value != "-1" && !param.Value.empty() && param.NeedsWrite();
    default:
        return false;
    }
}

void ForEachParamPlace(TCatalog& catalog, const TParamPlaceVisitor& visit) {
    for (auto& weapon : catalog.Weapons) {
        VisitEntry(*weapon, weapon->FilePath, nullptr, weapon->Section, WeaponKeys(), visit);
    }
    ForEachHeldParamPlace(catalog, {}, visit);
}

void ForEachHeldParamPlace(TCatalog& catalog, const TEntryFilter& only, const TParamPlaceVisitor& visit) {
    const auto& files = catalog.FFiles;
    const auto& paths = catalog.FRequiredFiles;
    if (!files[TCatalog::WeaponsLtx]) {
        return;
    }
    {
        const std::string& path = paths[TCatalog::WeaponsLtx];
        const ProfileFile* held = files[TCatalog::WeaponsLtx].get();
        if (catalog.Silencer && (!only || only(catalog.Silencer.get()))) {
            VisitEntry(*catalog.Silencer, path, held, catalog.Silencer->Section, SilencerKeys(), visit);
        }
        VisitEntries(catalog.Scopes, path, held, ScopeKeys(), visit, only);
        VisitEntries(catalog.GrenLnchs, path, held, GrenLnchKeys(), visit, only);
        VisitEntries(catalog.Ammo, path, held, AmmoKeys(), visit, only);
    }
    const auto visitFile = [&](TCatalog::TCategoryFile index, auto& entries, const auto& keys) {
        VisitEntries(entries, paths[index], files[index].get(), keys, visit, only);
    };
    visitFile(TCatalog::OutfitLtx, catalog.Outfits, OutfitKeys());
    visitFile(TCatalog::ArtefactsLtx, catalog.Arts, ArtKeys());
    visitFile(TCatalog::ItemsLtx, catalog.Items, ItemKeys());
    visitFile(TCatalog::WeatherLtx, catalog.Weather, WeatherKeys());
}

void TSectionReadings::Note(const void* entry, const ProfileFile& held, const std::string& section) {
    FReadings.push_back({&held, PlaceHash(section, {}), entry});
}

std::unordered_set<const void*> TSectionReadings::EntriesSharingASection() const {
    std::vector<TReading> readings = FReadings;
    const auto less = [](const TReading& a, const TReading& b) {
        return std::less<const ProfileFile*>()(a.Held, b.Held) || (a.Held == b.Held && a.Hash < b.Hash);
    };
    std::sort(readings.begin(), readings.end(), less);
    std::unordered_set<const void*> sharing;
    for (auto first = readings.begin(); first != readings.end();) {
        const auto last =
            std::find_if(first, readings.end(), [&](const TReading& r) { return less(*first, r); });
        if (last - first > 1) {
            for (auto it = first; it != last; ++it) {
                sharing.insert(it->Entry);
            }
        }
        first = last;
    }
    return sharing;
}

// Places in sections that one reading alone reaches link with nothing, so only the entries sharing a
// section are visited, in the order of a full walk.
void LinkSharedParams(TCatalog& catalog, const TSectionReadings& readings) {
    const std::unordered_set<const void*> sharing = readings.EntriesSharingASection();
    if (sharing.empty()) {
        return;
    }
    TSectionIndex seen;
    const auto only = [&](const void* entry) { return sharing.contains(entry); };
    ForEachHeldParamPlace(catalog, only, [&](const TParamPlace& place) {
        if (TParam* first = seen.FirstAt(place)) {
            first->LinkWith(place.Param);
        }
    });
}

void ForEachPendingWrite(TCatalog& catalog, const std::function<void(const TPendingWrite&)>& visit) {
    TPlaceIndex listedLinked;
    ForEachParamPlace(catalog, [&](const TParamPlace& place) {
        if (!WouldWrite(place.Param, place.Use)) {
            return;
        }
        if (!place.Param.IsLinked() || !listedLinked.FirstAt(place)) {
            visit({place.File, place.Section, place.Key, &place.Param, place.Use});
        }
    });
}

std::vector<TPendingWrite> PendingWrites(TCatalog& catalog) {
    std::vector<TPendingWrite> writes;
    ForEachPendingWrite(catalog, [&](const TPendingWrite& write) { writes.push_back(write); });
    return writes;
}

} // namespace kw
