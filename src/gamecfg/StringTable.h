#pragma once

#include "gamecfg/FlatIndex.h"

#include <string>
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
    // The part after the line's first "=".
    const std::string& Text(int index) const;
    // Index of the first line whose part before its first "=" equals id
    // exactly (letter case counts), -1 when none. An id that itself holds "="
    // is never found by itself, since its line's id part ends earlier.
    int IndexOfStringId(const std::string& id) const;

private:
    struct TLine {
        std::string IdPart;
        std::string Text;
    };
    std::vector<TLine> lines;
    FlatIndex firstIndexOfId;
};

// Clears the table and, when a file exists at path, fills it from the file.
// Throws kw::Error naming the file when it is not well-formed XML; malformed
// single entries are skipped silently.
void LoadStringTable(TStringTable& table, const std::string& path);

struct TStringTables {
    TStringTable Weapon, Outfit, Zone, Equipment;
};

} // namespace kw
