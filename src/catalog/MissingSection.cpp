#include "catalog/MissingSection.h"

#include "catalog/GameFolder.h"
#include "catalog/KeyLists.h"

namespace kw {

const ProfileFile* HeldCategoryFile(const TCatalog& catalog, TCatalog::TCategoryFile file) {
    return catalog.FFiles[file].get();
}

namespace {

const TKeyList<TWeapon>& KeysOf(const TWeapon&) {
    return WeaponKeys();
}
const TKeyList<TAmmo>& KeysOf(const TAmmo&) {
    return AmmoKeys();
}
const TKeyList<TOutfit>& KeysOf(const TOutfit&) {
    return OutfitKeys();
}
const TKeyList<TArt>& KeysOf(const TArt&) {
    return ArtKeys();
}
const TKeyList<TItem>& KeysOf(const TItem&) {
    return ItemKeys();
}
const TKeyList<TWeather>& KeysOf(const TWeather&) {
    return WeatherKeys();
}

TCatalog::TCategoryFile FileOf(const TAmmo&) {
    return TCatalog::WeaponsLtx;
}
TCatalog::TCategoryFile FileOf(const TOutfit&) {
    return TCatalog::OutfitLtx;
}
TCatalog::TCategoryFile FileOf(const TArt&) {
    return TCatalog::ArtefactsLtx;
}
TCatalog::TCategoryFile FileOf(const TItem&) {
    return TCatalog::ItemsLtx;
}
TCatalog::TCategoryFile FileOf(const TWeather&) {
    return TCatalog::WeatherLtx;
}

template <class T> bool IsLinkedParam(const T& entry, const TKeyList<T>& keys, const TParam& param) {
    for (const auto& rule : keys.Rules) {
        if (rule.Place == TKeyPlace::Linked && &rule.Param.In(entry) == &param) {
            return true;
        }
    }
    return false;
}

// A weapon's file is its own and is not held: the place walk never reaches a linked section of it.
std::optional<TMissingSection> MissingLinked(const TCatalog&, const TWeapon& entry,
                                             const TKeyList<TWeapon>& keys) {
    return TMissingSection{keys.Link ? (entry.*keys.Link).Value : std::string(), entry.FileName};
}

template <class T>
std::optional<TMissingSection> MissingLinked(const TCatalog& catalog, const T& entry,
                                             const TKeyList<T>& keys) {
    const ProfileFile* held = HeldCategoryFile(catalog, FileOf(entry));
    // The loader's and the saver's own rule: a linked value lives only where LinkedSection points.
    if (!held || LinkedSection(entry, keys, *held)) {
        return std::nullopt;
    }
    return TMissingSection{(entry.*keys.Link).Value, kRequiredFiles[FileOf(entry)]};
}

} // namespace

template <class T>
std::optional<TMissingSection> MissingSectionOf(const TCatalog& catalog, const T& entry,
                                                const TParam& param) {
    const TKeyList<T>& keys = KeysOf(entry);
    return IsLinkedParam(entry, keys, param) ? MissingLinked(catalog, entry, keys) : std::nullopt;
}

template std::optional<TMissingSection> MissingSectionOf(const TCatalog&, const TWeapon&, const TParam&);
template std::optional<TMissingSection> MissingSectionOf(const TCatalog&, const TAmmo&, const TParam&);
template std::optional<TMissingSection> MissingSectionOf(const TCatalog&, const TOutfit&, const TParam&);
template std::optional<TMissingSection> MissingSectionOf(const TCatalog&, const TArt&, const TParam&);
template std::optional<TMissingSection> MissingSectionOf(const TCatalog&, const TItem&, const TParam&);
template std::optional<TMissingSection> MissingSectionOf(const TCatalog&, const TWeather&, const TParam&);

} // namespace kw
