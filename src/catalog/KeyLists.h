#pragma once

#include "catalog/Classes.h"
#include "gamecfg/ProfileFile.h"

#include <string>
#include <vector>

// The keys of every entry class in one place: the loader reads and the saver writes by walking the same
// list, and generic consumers visit the parameters through it.
namespace kw {

enum class TKeyUse {
    Edit,      // read at load, written back
    Status,    // an addon state: like Edit, but never written as "-1" (no state chosen) or empty
    Show,      // read at load, never written
    ShowWhole, // read whole, comment included, never written
    Unused,    // the class keeps the parameter empty
};

enum class TKeyPlace {
    Own,    // the entry's own section
    Linked, // the section named by the list's link parameter; skipped while that section has no keys
};

// A parameter of an entry: a field of its own, or one kind of one of its immunity records.
template <class T> struct TParamRef {
    TParam T::*Field = nullptr;
    TImmunity T::*Record = nullptr;
    TParam TImmunity::*Kind = nullptr;

    TParam& In(T& entry) const { return Record ? entry.*Record.*Kind : entry.*Field; }
    const TParam& In(const T& entry) const { return Record ? entry.*Record.*Kind : entry.*Field; }
};

template <class T> struct TKeyRule {
    std::string Key;
    TParamRef<T> Param;
    TKeyUse Use = TKeyUse::Edit;
    std::string Default;
    TKeyPlace Place = TKeyPlace::Own;
};

template <class T> struct TKeyList {
    std::vector<TKeyRule<T>> Rules; // field order
    TParam T::*Link = nullptr;
};

const TKeyList<TMainItem>& SilencerKeys();
const TKeyList<TWeapon>& WeaponKeys();
const TKeyList<TAmmo>& AmmoKeys();
const TKeyList<TOutfit>& OutfitKeys();
const TKeyList<TArt>& ArtKeys();
const TKeyList<TItem>& ItemKeys();
const TKeyList<TScope>& ScopeKeys();
const TKeyList<TGrenLnch>& GrenLnchKeys();
const TKeyList<TWeather>& WeatherKeys();

// The section the entry's link parameter names, when its list has a link and the file holds that section:
// the one its Linked keys are read from, and null when there is none to read.
template <class T>
const std::string* LinkedSection(const T& entry, const TKeyList<T>& keys, const ProfileFile& file) {
    if (!keys.Link) {
        return nullptr;
    }
    const std::string& linked = (entry.*keys.Link).Value;
    return !linked.empty() && file.SectionExists(linked) ? &linked : nullptr;
}

// Whether a save writes a parameter of this use (its place being in a file): an addon state is never
// written as "-1" or empty, a shown key never.
bool WouldWrite(const TParam& param, TKeyUse use);

template <class T> void VisitParams(T& entry, const TKeyList<T>& keys, const TParamVisitor& fn) {
    for (const auto& rule : keys.Rules) {
        fn(rule.Key, rule.Param.In(entry));
    }
}

} // namespace kw
