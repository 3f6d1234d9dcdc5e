#pragma once

#include "catalog/KeyLists.h"
#include "gamecfg/ConfigSections.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kw {

class TCatalog;
class TKeyNames;

// Where an inherited value comes from. Texts are windows-1251.
struct TInheritedSource {
    std::string Section; // the parent section, as its header spells it
    std::string File;    // relative to the game folder, in the game's backslash form

    // The file below the game's config folder ("weapons\w_base.ltx"), as a modder names it.
    std::string_view ConfigFile() const;
};

// What the game reads for a key that the entry's section lacks: the value of the first parent section that
// holds it. Shown beside the entry's own value, never written.
struct TInheritedValue {
    std::string Value;   // as a load reads a value: before its first ";", stripped, TABs turned into blanks
    std::string Comment; // of the line read, from its ";" on
    const TInheritedSource* Source = nullptr;
};

// What the loader notes for the section index while each entry is still in the processor's caches: the
// parameters whose sections lack their keys (a walk over a big catalog afterwards costs a cache miss per
// parameter), and the files it read, whose bytes the index takes instead of reading them again.
class TLackingKeys {
public:
    struct TKey {
        const std::string* File; // full path as the load had it
        const std::string* Section;
        const std::string* Key;
        TKeyUse Use;
        TParam* Param;
    };

    // The keys the saver would visit for the entry: its own section's, and its linked section's while the
    // held file has that section.
    template <class T>
    void NoteEntry(T& entry, const std::string& file, const TKeyList<T>& keys, const ProfileFile* held) {
        NoteKeys(entry, file, entry.Section, keys, TKeyPlace::Own);
        if (const std::string* linked = held ? LinkedSection(entry, keys, *held) : nullptr) {
            NoteKeys(entry, file, *linked, keys, TKeyPlace::Linked);
        }
    }
    void NoteFile(const ProfileFile& file) { FRead.emplace_back(file.Path(), file.ReadBytes()); }

    const std::vector<TKey>& Keys() const { return FKeys; }
    // Paths as the load had them (below the game folder).
    const TConfigSections::TReadFiles& ReadFiles() const { return FRead; }

private:
    template <class T>
    void NoteKeys(T& entry, const std::string& file, const std::string& section, const TKeyList<T>& keys,
                  TKeyPlace place) {
        for (const auto& rule : keys.Rules) {
            TParam& param = rule.Param.In(entry);
            if (rule.Place == place && rule.Use != TKeyUse::Unused && !param.WasPresent()) {
                FKeys.push_back({&file, &section, &rule.Key, rule.Use, &param});
            }
        }
    }

    std::vector<TKey> FKeys;
    TConfigSections::TReadFiles FRead;
};

// The inherited values of one load, and the parents it could not follow.
class TInheritance {
public:
    // The value a parent supplies for param's key; none when its section holds the key or no parent does.
    const TInheritedValue* Of(const TParam& param) const;
    // Parents that no file defines and loops, each once, in the order the load met them.
    const std::vector<TParentProblem>& Problems() const { return FProblems; }
    void Clear();

private:
    friend void FindInheritedValues(TCatalog& catalog, const TLackingKeys& lacking, TInheritance& into);

    void Note(TParam& param, TKeyUse use, const TConfigSections& index, size_t section,
              std::string_view stored);
    void NoteFirst(TParam& param, TKeyUse use, const TConfigSections& index,
                   const std::vector<uint32_t>& sections, size_t key);
    template <class T>
    void NoteInheritedLinks(std::vector<std::unique_ptr<T>>& entries, const TKeyList<T>& keys,
                            const std::string& file, const TConfigSections& index, const TKeyNames& names,
                            const TParentProblemSink& problem);

    std::unordered_map<const TParam*, TInheritedValue> FValues;
    std::deque<TInheritedSource> FSources; // never moved: values point at them
    std::unordered_map<uint32_t, const TInheritedSource*>
        FSourceOf; // by section of the index, while it lives
    std::vector<TParentProblem> FProblems;
};

// Reads the section index of the game folder the catalog was loaded from and notes, for every lacking key,
// what the section's parents supply. The loader calls it once every entry is read.
void FindInheritedValues(TCatalog& catalog, const TLackingKeys& lacking, TInheritance& into);

// The inherited value param shows instead of its own: while its section lacks the key and it holds nothing
// a save would write (a typed value is the entry's own from then on). None otherwise.
const TInheritedValue* ShownInheritedValue(const TCatalog& catalog, const TParam& param);

// One line for the user, in English, naming the file and the sections.
std::string ParentProblemText(const TParentProblem& problem);

} // namespace kw
