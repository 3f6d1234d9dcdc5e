#pragma once

#include "catalog/Catalog.h"

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// What a catalog prints as: every field of every entry as text, in one fixed order, so that a script can
// read it and two catalogs compare entry by entry.
namespace kw {

// Backslash, TAB, CR and LF written as \\, \t, \r and \n, so that a field
// never breaks the tab-separated line it stands in.
std::string EscapeDumpText(std::string_view text);

// One field of an entry as dump prints it: value and comment in UTF-8, unescaped.
struct TDumpField {
    std::string_view Field;
    std::string Value;
    std::string Comment;
    // With the values the game reads: the parent section the value came from (windows-1251), or empty for
    // the entry's own value or a default.
    std::string_view From = {};
};

// One catalog entry as dump prints it.
struct TDumpEntry {
    std::string_view Catalog;
    std::size_t Index = 0;
    std::string_view Section;  // windows-1251
    std::string_view FileName; // a weapon's file, in the game's backslash form; empty for other entries
    std::vector<TDumpField> Fields;
};

// What a dump prints of a key the entry's section lacks: the entry's value (its default or empty), or what
// the game reads, the value a parent section supplies.
enum class TDumpValues { Own, Effective };

// Every entry in dump order: the order of kCatalogNames (catalog/CatalogEntries.h).
void ForEachDumpEntry(TCatalog& catalog, const std::function<void(const TDumpEntry&)>& visit,
                      TDumpValues values = TDumpValues::Own);

// One UTF-8 line per field: catalog, index, section, field, value, comment,
// separated by TABs. Catalogs in list order, then the weapon addons. With the
// effective values a seventh column names the parent section a value came from.
void DumpCatalog(TCatalog& catalog, std::ostream& out, TDumpValues values = TDumpValues::Own);

} // namespace kw
