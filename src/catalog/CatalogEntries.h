#pragma once

#include "catalog/Catalog.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kw {

// The catalogs under the names the headless tool prints them by, in its order: the lists, then the weapon
// addons.
inline constexpr std::array<std::string_view, 9> kCatalogNames = {
    "weapons", "ammo", "outfits", "arts", "items", "weather", "silencer", "scopes", "grenade_launchers"};

// The name a list of changes gives an entry: its section, or a weather slot's time.
inline const std::string& ChangeEntryName(const TMainItem& entry) {
    return entry.Section;
}
inline const std::string& ChangeEntryName(const TWeather& slot) {
    return slot.Time;
}

// Calls visit(name, index, entry) for every entry, in that order; entry has its own class (the silencer is a
// plain TMainItem).
template <class Visit> void ForEachCatalogEntry(TCatalog& catalog, Visit&& visit) {
    const auto all = [&visit](std::string_view name, auto& entries) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            visit(name, i, *entries[i]);
        }
    };
    all(kCatalogNames[0], catalog.Weapons);
    all(kCatalogNames[1], catalog.Ammo);
    all(kCatalogNames[2], catalog.Outfits);
    all(kCatalogNames[3], catalog.Arts);
    all(kCatalogNames[4], catalog.Items);
    all(kCatalogNames[5], catalog.Weather);
    if (catalog.Silencer) {
        visit(kCatalogNames[6], std::size_t{0}, *catalog.Silencer);
    }
    all(kCatalogNames[7], catalog.Scopes);
    all(kCatalogNames[8], catalog.GrenLnchs);
}

} // namespace kw
