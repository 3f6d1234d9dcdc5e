#pragma once

#include "gamecfg/FlatIndex.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kw {

// The display texts of one XML string table as "id=text" lines in document
// order. Texts are UTF-8, and the game's two-character "\n" is already a
// CR LF line break. Duplicate ids stay; a look-up finds the first.
class TStringTable {
public:
    void Clear();
    void Append(std::string id, std::string text);
    int Count() const;
    // id + "=" + text
    std::string Line(int index) const;
    // The part after the line's first "=", valid until the table changes.
    std::string_view Text(int index) const;
    // Index of the first line whose part before its first "=" equals id
    // exactly (letter case counts), -1 when none. An id that itself holds "="
    // is never found by itself, since its line's id part ends earlier.
    int IndexOfStringId(const std::string& id) const;

private:
    // A game's tables hold tens of thousands of lines, so their texts share one buffer: a line is the id
    // part and then the text, side by side in it.
    struct TLine {
        std::size_t Start;
        std::size_t IdSize;
        std::size_t TextSize;
    };

    int Find(std::string_view id) const;
    std::string_view IdPartOf(const TLine& line) const;
    std::string_view TextOf(const TLine& line) const;

    std::vector<TLine> FLines;
    std::string FTexts;
    FlatIndex FFirstIndexOfId;
};

// Clears the table and, when a file exists at path, fills it from the file.
// Throws kw::Error naming the file when it is not well-formed XML; malformed
// single entries are skipped silently.
void LoadStringTable(TStringTable& table, const std::string& path);

struct TStringTables {
    TStringTable Weapon, Outfit, Zone, Equipment;
};

} // namespace kw
