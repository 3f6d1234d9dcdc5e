#pragma once

#include "catalog/Catalog.h"

#include <optional>
#include <string>

namespace kw {

// Where a value would have to be written when no file has a place for it: its entry reads it from the section
// that the entry's link names, and the category file lacks that section. The loader read nothing there and a
// save never creates a section, so an edit of such a value could never reach the game; whatever takes an edit
// asks here first and refuses it.
struct TMissingSection {
    std::string Section; // as the link names it, windows-1251; empty when the entry names no section
    std::string File;    // relative to the game folder, in the game's backslash form
};

// The missing section of param, one of entry's parameters; none when the value has its place (its entry's
// own section, or a linked section that exists), when param is not entry's, or before a load.
// Defined for the entry classes of the pages: TWeapon, TAmmo, TOutfit, TArt, TItem and TWeather.
template <class T>
std::optional<TMissingSection> MissingSectionOf(const TCatalog& catalog, const T& entry, const TParam& param);

} // namespace kw
