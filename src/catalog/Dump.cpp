#include "catalog/Dump.h"

#include "catalog/CatalogEntries.h"
#include "gamecfg/CodePage.h"

#include <map>
#include <ostream>
#include <type_traits>

namespace kw {

std::string EscapeDumpText(std::string_view text) {
    static const std::map<char, const char*> escapes = {
        {'\\', "\\\\"}, {'\t', "\\t"}, {'\r', "\\r"}, {'\n', "\\n"}};
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto found = escapes.find(c);
        if (found == escapes.end()) {
            escaped += c;
        } else {
            escaped += found->second;
        }
    }
    return escaped;
}

namespace {

// Scopes, grenade launchers and the silencer never look up a description.
template <class T>
constexpr bool kResolvesDescr =
    std::is_same_v<T, TWeapon> || std::is_same_v<T, TAmmo> || std::is_same_v<T, TOutfit> ||
    std::is_same_v<T, TArt> || std::is_same_v<T, TItem>;

template <class T>
TDumpEntry MakeDumpEntry(const TCatalog* effective, std::string_view catalog, std::size_t index, T& entry) {
    TDumpEntry dumped{catalog, index, entry.Section, {}, {}};
    auto& fields = dumped.Fields;
    if constexpr (std::is_base_of_v<TMainItem, T>) {
        fields.push_back({"Name", entry.Name, {}});
    }
    if constexpr (kResolvesDescr<T>) {
        fields.push_back({"Descr", entry.Descr, {}});
    }
    if constexpr (std::is_same_v<T, TWeapon>) {
        dumped.FileName = entry.FileName;
        fields.push_back({"FileName", Cp1251ToUtf8(entry.FileName), {}});
    }
    if constexpr (std::is_same_v<T, TWeather>) {
        fields.push_back({"Time", Cp1251ToUtf8(entry.Time), {}});
    }
    entry.ForEachParam([&fields, effective](const std::string& key, TParam& param) {
        const TInheritedValue* inherited = effective ? ShownInheritedValue(*effective, param) : nullptr;
        if (inherited) {
            fields.push_back({key, Cp1251ToUtf8(inherited->Value), Cp1251ToUtf8(inherited->Comment),
                              inherited->Source->Section});
        } else {
            fields.push_back({key, Cp1251ToUtf8(param.Value), Cp1251ToUtf8(param.Comment)});
        }
    });
    return dumped;
}

} // namespace

void ForEachDumpEntry(TCatalog& catalog, const std::function<void(const TDumpEntry&)>& visit,
                      TDumpValues values) {
    const TCatalog* effective = values == TDumpValues::Effective ? &catalog : nullptr;
    ForEachCatalogEntry(catalog, [&visit, effective](std::string_view name, std::size_t index, auto& entry) {
        visit(MakeDumpEntry(effective, name, index, entry));
    });
}

void DumpCatalog(TCatalog& catalog, std::ostream& out, TDumpValues values) {
    ForEachDumpEntry(
        catalog,
        [&out, values](const TDumpEntry& entry) {
            const std::string prefix = std::string(entry.Catalog) + "\t" + std::to_string(entry.Index) +
                                       "\t" + EscapeDumpText(Cp1251ToUtf8(entry.Section)) + "\t";
            for (const TDumpField& field : entry.Fields) {
                out << prefix << field.Field << '\t' << EscapeDumpText(field.Value) << '\t'
                    << EscapeDumpText(field.Comment);
                if (values == TDumpValues::Effective) {
                    out << '\t' << EscapeDumpText(Cp1251ToUtf8(field.From));
                }
                out << '\n';
            }
        },
        values);
}

} // namespace kw
