#pragma once

// How a grid's columns meet its entry class, for the files that read or write a grid against a catalog.

#include "catalog/Catalog.h"
#include "catalog/GameFolder.h"
#include "catalog/KeyLists.h"
#include "gamecfg/CodePage.h"
#include "interchange/TableColumns.h"

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kw::binding {

// A grid's columns bound to the key rules of its entry class; column 0 has none.
template <class T> std::vector<const TKeyRule<T>*> BindColumns(const TGridDef& def, const TKeyList<T>& keys) {
    std::vector<const TKeyRule<T>*> rules;
    for (const TColumnDef& column : def.Columns) {
        const TKeyRule<T>* found = nullptr;
        for (const auto& rule : keys.Rules) {
            if (column.GameKey && rule.Key == column.GameKey) {
                found = &rule;
            }
        }
        if (column.GameKey && !found) {
            throw std::logic_error(std::string("no entry field for grid column ") + column.HeaderKey);
        }
        rules.push_back(found);
    }
    return rules;
}

template <class T> struct TBoundGrid {
    const std::vector<std::unique_ptr<T>>& Entries;
    const TKeyList<T>& Keys;
    const std::vector<const TKeyRule<T>*>& Columns;
    const char* CategoryFile; // nullptr: each entry names its own file
};

template <class T>
TBoundGrid<T> Bind(const TGridDef& def, const std::vector<std::unique_ptr<T>>& entries,
                   const TKeyList<T>& keys, const char* categoryFile) {
    // Bound once per grid: the tables never change while the program runs.
    static const std::vector<const TKeyRule<T>*> columns = BindColumns(def, keys);
    return {entries, keys, columns, categoryFile};
}

// Calls fn with the grid's entries bound to its columns.
template <class Fn> decltype(auto) WithBoundGrid(const TGridDef& def, const TCatalog& catalog, Fn&& fn) {
    switch (def.Id) {
    case TGridId::Weapons:
        return fn(Bind(def, catalog.Weapons, WeaponKeys(), nullptr));
    case TGridId::Ammo:
        return fn(Bind(def, catalog.Ammo, AmmoKeys(), kRequiredFiles[0]));
    case TGridId::Outfits:
        return fn(Bind(def, catalog.Outfits, OutfitKeys(), kRequiredFiles[1]));
    case TGridId::Arts:
        return fn(Bind(def, catalog.Arts, ArtKeys(), kRequiredFiles[2]));
    case TGridId::Items:
        return fn(Bind(def, catalog.Items, ItemKeys(), kRequiredFiles[3]));
    case TGridId::Weather:
        break;
    }
    return fn(Bind(def, catalog.Weather, WeatherKeys(), kRequiredFiles[4]));
}

inline std::string NameOf(const TMainItem& entry) {
    return entry.Name;
}
inline std::string NameOf(const TWeather& entry) {
    return Cp1251ToUtf8(entry.Time);
}

inline std::string FileOf(const TWeapon& entry, const char*) {
    return entry.FileName;
}
template <class T> std::string FileOf(const T&, const char* categoryFile) {
    return categoryFile;
}

template <class T> std::string SectionOf(T& entry, const TKeyRule<T>& rule, const TKeyList<T>& keys) {
    return rule.Place == TKeyPlace::Linked ? (entry.*keys.Link).Value : entry.Section;
}

template <class T> std::string CellTextOf(const TBoundGrid<T>& bound, int row, int column) {
    T& entry = *bound.Entries[static_cast<std::size_t>(row)];
    const TKeyRule<T>* rule = bound.Columns[static_cast<std::size_t>(column)];
    return rule ? Cp1251ToUtf8(rule->Param.In(entry).Value) : NameOf(entry);
}

template <class T> int EntryCountOf(const TBoundGrid<T>& bound) {
    return static_cast<int>(bound.Entries.size());
}

} // namespace kw::binding
