#pragma once

#include "catalog/Classes.h"
#include "catalog/KeyLists.h"

#include <QSize>

#include <array>
#include <string>
#include <vector>

namespace kw {

// How a control shows a parameter's text and what it writes back.
enum class TFieldKind {
    Text,   // edit field, the text verbatim both ways
    Bool,   // check box; "true"/"false" or a number, written as "true"/"false"
    OnOff,  // check box; ticked exactly for "on", written as "on"/"off"
    Status, // three-item combo box, the item index is the value
    List,   // combo box of preset texts; with no match the value stays as it is
};

// What an edit field takes: numbers only (its typing is filtered), any text, or a series of values (a colour,
// damage per difficulty), which takes its room before the fields beside it.
enum class TFieldInput { Number, Text, Series };

// Where a field's controls stand: a column of the page's layout and a row in that column. The tab order goes
// down each column, in the order of the blocks (TBlockPlace).
struct TFieldPlace {
    int Column;
    int Row;
};

// One editable field of a standard view. A check box shows Caption itself and has no Label; an immunity
// field of the outfits page shares the row label of its protection field and has neither.
template <class Entry> struct TFieldDef {
    std::string Control;
    std::string Label;
    std::string Caption; // UTF-8
    TParamRef<Entry> Param;
    TFieldKind Kind;
    TFieldInput Input;
    TFieldPlace Place;
};

// Where a block of a page's standard view stands. Blocks of one band stand side by side, one lane each, and
// each band stands below the one before it; the blocks of one lane stand one below the other: its field
// columns, then the picture, then the description.
struct TBlockPlace {
    int Band;
    int Lane;
};

// What every page's standard view holds besides its fields.
struct TViewPageDef {
    const char* Key; // "Weapons": the part of the control names naming the page
    const char* ListHeader;
    const char* NamePanel;
    const char* Memo;  // nullptr: the page shows no description
    const char* Image; // nullptr: the page shows no picture
    QSize PictureSize; // inside the sunken frame; a picture is shown at its own size, never scaled
    TBlockPlace PicturePlace;
    TBlockPlace MemoPlace;
    int ListWidth;
    int InfoLines; // 4, or 2 where entries have no system name and no model
    // Indexed by TFieldPlace::Column.
    std::vector<TBlockPlace> Columns;
};

// The size of a page's view boxes in the smallest window; the layouts keep every control readable there.
inline constexpr QSize kViewBoxSize(704, 455);
// Every row of fields keeps this height: rows of columns side by side stay level.
inline constexpr int kRowHeight = 22;
inline constexpr int kPageCount = 6;
enum TPageIndex { WeaponsPage, AmmoPage, OutfitsPage, ArtsPage, ItemsPage, WeatherPage };

// In page order: weapons, ammunition, outfits, artefacts, items, weather.
const std::array<TViewPageDef, kPageCount>& ViewPageDefs();

// Every table is in the order in which Show and Collect walk the fields.
const std::vector<TFieldDef<TWeapon>>& WeaponFields();
const std::vector<TFieldDef<TAmmo>>& AmmoFields();
const std::vector<TFieldDef<TOutfit>>& OutfitFields();
const std::vector<TFieldDef<TArt>>& ArtFields();
const std::vector<TFieldDef<TItem>>& ItemFields();
const std::vector<TFieldDef<TWeather>>& WeatherFields();

// The file line of the pages whose entries all live in one file (weapons name their own).
const char* CategoryFileOf(int page);

// Controls of a page that belong to no field: headings, buttons, panels.
enum class TExtraKind { Heading, Button, Panel, Swatch };
// Where such a control stands, in the column of its place.
enum class TExtraSlot {
    FieldHeading,  // above the column's fields
    ColumnHeading, // above the column's labels and fields
    Trailing,      // right of the field at its place; the tab order goes from the field to it
    Aside,         // right of the column's rows, from its row down RowSpan rows
};
struct TExtraPlace {
    TExtraSlot Slot;
    int Column;
    int Row;
    int RowSpan = 1;
};
struct TExtraDef {
    int Page;
    TExtraKind Kind;
    const char* Name;
    const char* Caption; // UTF-8
    const char* Hint;    // UTF-8
    TExtraPlace Place;
    bool AlwaysUsable; // stays enabled without game data (tag -1)
};
const std::vector<TExtraDef>& ExtraDefs();

} // namespace kw
